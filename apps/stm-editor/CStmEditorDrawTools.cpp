// The Draw menu and the tools' dialogs in the overlay.
#include "CStmEditorDrawTools.h"

#include <imgui.h>

#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgOffset.h"
#include "manager/CStmUbManager.h"

bool CStmEditorDrawTools::OnKey(int glfwKey) { return m_dialogs.OnKey(glfwKey); }

void CStmEditorDrawTools::DrawDialogs(float barTop, float barBottom, const NoteItemFn& note) {
  m_dialogs.SetViewInsets(barTop, barBottom);
  if (CStmDlgCoord* coord = m_manager.GetDlgCoord()) m_dialogs.DrawModeless(*coord, note);
  if (CStmDlgAngle* angle = m_manager.GetDlgAngle()) m_dialogs.DrawModeless(*angle, note);
  if (CStmDlgOffset* offset = m_manager.GetDlgOffset()) m_dialogs.DrawModeless(*offset, note);
}

void CStmEditorDrawTools::Run() { m_dialogs.Deliver(); }
