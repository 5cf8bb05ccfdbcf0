// The editor's window surface.
#include "CStmEditorSurface.h"

void CStmEditorSurface::SwapBuffers() {
  if (m_beforeSwap) m_beforeSwap();
  m_pWindow->SwapBuffers();
}
