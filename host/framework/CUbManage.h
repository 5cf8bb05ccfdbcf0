// The view side of the scene: the actions and the current one, the pick box and snap modes,
// the points the actions share, and object snapping over the entities under the cursor.
#pragma once

#include <map>
#include <memory>

#include "host/framework/CUbEttManage.h"

class CUbActionBase;
class CUbRenderWnd;

class CUbManage : public CUbEttManage {
public:
  // Object-snap mode bits.
  static constexpr long kSnapNear = 0x0002;
  static constexpr long kSnapEnd = 0x0008;
  static constexpr long kSnapMid = 0x0010;
  static constexpr long kSnapPer = 0x0040;
  static constexpr long kSnapCross = 0x0080;
  static constexpr long kSnapNode = 0x8000;
  static constexpr long kSnapAll = 0x80DA;
  // Glyph codes of the snap marker by kind.
  static constexpr long kGlyphEnd = 2, kGlyphMid = 3, kGlyphNode = 5, kGlyphCross = 6, kGlyphPer = 14,
                        kGlyphNear = 14;

  // The initial snap mode and second snap word.
  explicit CUbManage(long snapMode = kSnapAll, long snapMode2 = 0);
  ~CUbManage() override;

  // Slots derived managers override, in slot order.
  // The class of that run-time name, if it is an entity class, made with this container.
  virtual CUbEntityObj* CreateEntityObj(CString className);
  // Makes the registered action current (releasing the previous one, initialising the new one
  // when `init` is non-zero). An unknown id changes nothing and returns null.
  virtual CUbActionBase* SetAction(CUbRenderWnd* wnd, long id, long param, int init);
  virtual CUbActionBase* GetAction(long id);
  virtual CUbActionBase* GetActionCurrent();
  // The nearest snap point among the entities in the rectangle for the modes in `mode`; the
  // nearest point on a line only where no other snap is in the rectangle.
  // `marker` non-zero shows the snap marker on the window; `model` is accepted for callers
  // that ask for model coordinates, which view coordinates are here. Returns the glyph code of
  // the snap kind found, or 0 (out unchanged).
  virtual int GetOSnapPoint(CUbRenderWnd* wnd, const CRect& rect, CVector& out, long mode, int marker, int model);
  // Refreshes the snap marker at the cursor; returns what GetOSnapPoint returned.
  virtual int CheckOsnapSub(CUbRenderWnd* wnd, long flag);
  // The exact point typed for the click now being handed to the action, taken once: out becomes
  // it and 1 is returned; 0 (out unchanged) when nothing typed waits. The base has nowhere to type.
  virtual int TakeTypedPoint(CVector& out);

  // Registers an action under its command id; the manager owns it from then on. A second
  // action for an id already registered is refused (and stays the caller's): returns 0.
  int AddAction(long id, CUbActionBase* action);
  long GetActionTypeCur() const { return m_nActionCur; }

  // The pick rectangle around a client point: the pick box on each side.
  CRect GetRectCursor(const CPoint& pt) const;
  const CSize& GetSelectSize() const { return m_sizeSelect; }
  void SetSelectSize(const CSize& size) { m_sizeSelect = size; }
  long GetOSnapMode() const { return m_nOSnapMode; }
  void SetOSnapMode(long mode) { m_nOSnapMode = mode; }
  long GetOSnapMode2() const { return m_nOSnapMode2; }
  void SetOSnapMode2(long mode) { m_nOSnapMode2 = mode; }

  CVector& GetStartPoint() { return m_vStartPoint; }
  CVector& GetEndPoint() { return m_vEndPoint; }
  CVector& GetCursorPoint() { return m_vCursorPoint; }
  CVector& GetRotateCenter() { return m_vRotateCenter; }

  // Set while a template collects points.
  int IsTemplatePick() const { return m_bTemplatePick; }
  void SetTemplatePick(int on) { m_bTemplatePick = on ? 1 : 0; }
  int IsGripEdit() const { return m_bGripEdit; }
  void SetGripEdit(int on) { m_bGripEdit = on ? 1 : 0; }
  // Suppresses the distance prompt of the line tools.
  int IsNoDistPrompt() const { return m_bNoDistPrompt; }
  void SetNoDistPrompt(int on) { m_bNoDistPrompt = on ? 1 : 0; }
  // Whether the snap marker follows the cursor while a grip is dragged.
  int IsSnapWhileDrag() const { return m_bSnapWhileDrag; }
  void SetSnapWhileDrag(int on) { m_bSnapWhileDrag = on ? 1 : 0; }

private:
  std::map<long, std::unique_ptr<CUbActionBase>> m_mapAction;
  long m_nActionCur = -1;

  CSize m_sizeSelect{7, 7};
  long m_nOSnapMode;
  long m_nOSnapMode2;
  CVector m_vStartPoint, m_vEndPoint, m_vCursorPoint, m_vRotateCenter;
  int m_bTemplatePick = 0;
  int m_bGripEdit = 1;
  int m_bNoDistPrompt = 0;
  int m_bSnapWhileDrag = 1;
};
