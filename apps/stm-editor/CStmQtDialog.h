// Any of the layer's dialogs (controls as plain state) as a Qt dialog: each control becomes a
// widget where its template rectangle puts it, and what the user does goes back to the dialog as
// the layer expects it (text changes, clicks, OK only once its data could be taken over). The
// dialog may change its controls in answer; the widgets follow.
#pragma once

#include <QDialog>
#include <map>

class CDialog;
struct SDlgControl;
class QWidget;

class CStmQtDialog : public QDialog {
  Q_OBJECT
public:
  // modeless: the dialog stays up inside another widget (a dock) and is never ended.
  CStmQtDialog(CDialog& dialog, QWidget* parent, bool modeless = false);

  // The Qt widget that shows a control; null for an id the dialog has not.
  QWidget* ControlWidget(int id) const;
  // The layer changed the dialog's state from outside: the widgets follow.
  void Refresh() { Sync(); }
  // A modeless dialog that the user types into from the view (a tool's coordinates): the
  // keyboard goes where the layer asks, as in a modal one.
  void SetFollowFocus(bool follow) { m_bFollowFocus = follow; }

signals:
  // The user changed something that the layer took over.
  void Changed();

protected:
  void keyPressEvent(QKeyEvent* event) override;
  // The edits' keys reach the layer's dialog before the edit: a character it takes (a comma
  // that moves on to the next field) never becomes text, and Tab goes to a dialog whose edits
  // have no tab stop.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Build();
  // The widgets take what the controls now hold; a text the user is typing stays unless the
  // layer set another since.
  void Sync();
  // After the layer handled a change or click: the dialog ends when it has an answer.
  void AfterLayer();
  void Clicked(int id);

  CDialog& m_dialog;
  std::map<int, QWidget*> m_widgets;
  std::map<int, int> m_revisions;
  bool m_bSyncing = false;
  bool m_bModeless = false;
  bool m_bFollowFocus = false;
  // The layer's last request for the keyboard that the widgets followed.
  int m_nFocusRevision = -1;
};
