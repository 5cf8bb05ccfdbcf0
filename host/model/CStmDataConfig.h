// The model's configuration switches.
#pragma once

class CStmDataConfig {
public:
  // Which effective region the "as designed" width layer shows: 0 the designed region, any
  // other value the maximum region.
  int GetTypeEffectiveRegion() const { return m_nTypeEffectiveRegion; }
  void SetTypeEffectiveRegion(int type) { m_nTypeEffectiveRegion = type; }

private:
  int m_nTypeEffectiveRegion = 0;
};
