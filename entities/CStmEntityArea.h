// A property area of the model shown as a translucent filled polygon.
#pragma once

#include <vector>

#include "entities/CStmEntityObject.h"

class CStmEntityArea : public CStmEntityObject {
  DECLARE_SERIAL(CStmEntityArea)

public:
  CStmEntityArea();
  explicit CStmEntityArea(CUbEttManage* manage);
  CStmEntityArea(CUbEttManage* manage, const std::vector<CVector>& points);

  const std::vector<CVector>& GetAreaPosArray() const { return m_arAreaPos; }
  void SetAreaPosArray(const std::vector<CVector>& points) {
    m_arAreaPos = points;
    UpdateEttIndex();
  }
  double GetWidth() const { return m_dWidth; }
  void SetWidth(double width) { m_dWidth = width; }

  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  CString GetStringEntType() override;
  CString GetTooltipPropInfoTable() override;
  void GetSnapMovePointArray(CVectorArray& points) override;

  CStmEntityArea& operator=(const CStmEntityObject& other) override;
  CStmEntityArea& operator=(const CStmEntityArea& other);

protected:
  void Render(int pick) override;

private:
  void Init();

  std::vector<CVector> m_arAreaPos;
  double m_dWidth = 2.0;
};
