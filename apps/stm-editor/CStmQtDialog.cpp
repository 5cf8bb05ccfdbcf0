#include "CStmQtDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/platform/CDialog.h"

namespace {

// A text the layer takes as a number: such an edit gets a validator, so that a letter typed by
// mistake is refused in the field, before OK.
bool IsNumber(const CString& text) {
  const char* begin = text.c_str();
  if (!*begin) return false;
  char* end = nullptr;
  std::strtod(begin, &end);
  return end && *end == '\0';
}

QString ToQt(const CString& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

CStmQtDialog::CStmQtDialog(CDialog& dialog, QWidget* parent, bool modeless)
    : QDialog(parent), m_dialog(dialog), m_bModeless(modeless) {
  if (modeless) setWindowFlags(Qt::Widget);
  setWindowTitle(ToQt(dialog.GetCaption()));
  setObjectName(QString("dlg%1").arg(dialog.GetTemplateId()));
  Build();
  Sync();
}

QWidget* CStmQtDialog::ControlWidget(int id) const {
  const auto found = m_widgets.find(id);
  return found == m_widgets.end() ? nullptr : found->second;
}

void CStmQtDialog::Build() {
  // Dialog units: a quarter of the average character's width, an eighth of the line's height.
  const QFontMetrics metrics(font());
  const double ux = metrics.averageCharWidth() / 4.0;
  const double uy = metrics.height() / 8.0;
  for (SDlgControl& control : m_dialog.GetControls()) {
    const int id = control.m_nId;
    QWidget* widget = nullptr;
    // A choice in a list or a position on a slider: the layer keeps it as the selection.
    const auto selected = [this, id](int index) {
      if (m_bSyncing) return;
      if (SDlgControl* c = m_dialog.GetControl(id)) c->m_nSel = index;
      m_dialog.OnControlChanged(id);
      AfterLayer();
    };
    switch (control.m_eKind) {
      case EDlgControlKind::kStatic:
        widget = new QLabel(ToQt(control.m_strCaption), this);
        break;
      case EDlgControlKind::kEdit: {
        auto* edit = new QLineEdit(this);
        edit->installEventFilter(this);
        edit->setProperty("controlId", id);
        if (IsNumber(control.m_strText)) {
          auto* validator = new QDoubleValidator(edit);
          validator->setLocale(QLocale::c());
          edit->setValidator(validator);
        }
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
          if (m_bSyncing) return;
          if (SDlgControl* c = m_dialog.GetControl(id)) c->m_strText = CString(text.toUtf8().constData());
          m_dialog.OnControlChanged(id);
          AfterLayer();
        });
        widget = edit;
        break;
      }
      case EDlgControlKind::kButton: {
        auto* button = new QPushButton(ToQt(control.m_strCaption), this);
        button->setAutoDefault(false);
        if (id == IDOK) button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this, id] { Clicked(id); });
        widget = button;
        break;
      }
      case EDlgControlKind::kCheck:
      case EDlgControlKind::kRadio: {
        QAbstractButton* button = control.m_eKind == EDlgControlKind::kCheck
                                      ? static_cast<QAbstractButton*>(new QCheckBox(ToQt(control.m_strCaption), this))
                                      : new QRadioButton(ToQt(control.m_strCaption), this);
        // The layer decides which of a group is checked; Qt's own exclusivity would race it.
        button->setAutoExclusive(false);
        connect(button, &QAbstractButton::clicked, this, [this, id, button](bool checked) {
          if (m_bSyncing) return;
          SDlgControl* c = m_dialog.GetControl(id);
          if (!c) return;
          if (c->m_eKind == EDlgControlKind::kRadio) {
            // The radio buttons that follow one another form a group: one checked.
            auto& all = m_dialog.GetControls();
            auto it = std::find_if(all.begin(), all.end(), [id](const SDlgControl& x) { return x.m_nId == id; });
            auto first = it, last = it;
            while (first != all.begin() && std::prev(first)->m_eKind == EDlgControlKind::kRadio) --first;
            while (std::next(last) != all.end() && std::next(last)->m_eKind == EDlgControlKind::kRadio) ++last;
            for (auto r = first; r != std::next(last); ++r) r->m_nCheck = 0;
            c->m_nCheck = 1;
          } else {
            c->m_nCheck = checked ? 1 : 0;
          }
          (void)button;
          Clicked(id);
        });
        widget = button;
        break;
      }
      case EDlgControlKind::kCombo: {
        auto* combo = new QComboBox(this);
        connect(combo, qOverload<int>(&QComboBox::activated), this, selected);
        widget = combo;
        break;
      }
      case EDlgControlKind::kSlider: {
        auto* slider = new QSlider(Qt::Horizontal, this);
        connect(slider, &QSlider::valueChanged, this, selected);
        widget = slider;
        break;
      }
    }
    widget->setObjectName(QString("ctl%1").arg(id));
    const CRect& r = control.m_rect;
    const int height = std::max(static_cast<int>(std::lround(r.Height() * uy)), widget->sizeHint().height());
    widget->setGeometry(static_cast<int>(std::lround(r.left * ux)), static_cast<int>(std::lround(r.top * uy)),
                        std::max(1, static_cast<int>(std::lround(r.Width() * ux))), height);
    m_widgets[id] = widget;
    m_revisions[id] = -1;
  }
  const CSize size = m_dialog.GetTemplateSize();
  int right = static_cast<int>(std::lround(size.cx * ux)), bottom = static_cast<int>(std::lround(size.cy * uy));
  for (const auto& entry : m_widgets) bottom = std::max(bottom, entry.second->geometry().bottom() + 8);
  setFixedSize(right, bottom);
}

void CStmQtDialog::Sync() {
  m_bSyncing = true;
  for (SDlgControl& control : m_dialog.GetControls()) {
    QWidget* widget = ControlWidget(control.m_nId);
    if (!widget) continue;
    widget->setEnabled(control.m_bEnabled);
    widget->setVisible(control.m_bVisible);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      if (m_revisions[control.m_nId] != control.m_nRevision || !edit->hasFocus()) {
        if (edit->text() != ToQt(control.m_strText)) edit->setText(ToQt(control.m_strText));
        m_revisions[control.m_nId] = control.m_nRevision;
      }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      label->setText(ToQt(control.m_strCaption));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      if (combo->count() != static_cast<int>(control.m_arItems.size())) {
        combo->clear();
        for (const CString& item : control.m_arItems) combo->addItem(ToQt(item));
      }
      combo->setCurrentIndex(control.m_nSel);
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
      slider->setRange(control.m_nMin, control.m_nMax);
      slider->setValue(control.m_nSel);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      if (button->isCheckable()) button->setChecked(control.m_nCheck != 0);
    }
  }
  m_bSyncing = false;
  // The layer moved the keyboard into a control; only a new request moves it, not every change.
  if (m_nFocusRevision == m_dialog.GetFocusRevision()) return;
  QWidget* focus = ControlWidget(m_dialog.GetFocusId());
  // A dialog in a dock that is still hidden takes the keyboard once it shows.
  if (m_bFollowFocus && focus && !focus->isVisible()) return;
  m_nFocusRevision = m_dialog.GetFocusRevision();
  if (focus && (!m_bModeless || m_bFollowFocus)) {
    focus->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->selectAll();
  }
}

void CStmQtDialog::AfterLayer() {
  emit Changed();
  if (m_bModeless) {
    // A panel answers nothing: Enter has taken its values, and it stays.
    m_dialog.EndDialog(0);
  } else if (m_dialog.GetResult() != 0) {
    done(m_dialog.GetResult());
    return;
  }
  Sync();
}

void CStmQtDialog::Clicked(int id) {
  m_dialog.OnClicked(id);
  AfterLayer();
}

bool CStmQtDialog::eventFilter(QObject* watched, QEvent* event) {
  const int id = watched->property("controlId").toInt();
  if (event->type() == QEvent::FocusIn && m_bFollowFocus) {
    // A click into the edit gives it the keyboard in the dialog's terms too.
    m_dialog.SetFocus();
    if (m_dialog.GetFocusId() != id) {
      m_dialog.SetFocusId(id);
      m_nFocusRevision = m_dialog.GetFocusRevision();
    }
  }
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const SDlgControl* control = m_dialog.GetControl(id);
  int taken = 0;
  if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && control && !control->m_bTabStop) {
    taken = m_dialog.SendKey(VK_TAB);
  } else if (key->key() == Qt::Key_F8) {
    taken = m_dialog.SendKey(VK_F8);
  } else if (key->text().size() == 1 && key->text()[0].isPrint() &&
             !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    MSG msg;
    msg.hwnd = m_dialog.GetSafeHwnd();
    msg.message = WM_CHAR;
    msg.wParam = key->text()[0].unicode();
    taken = m_dialog.PreTranslateMessage(&msg);
  }
  if (!taken) return QDialog::eventFilter(watched, event);
  AfterLayer();
  return true;
}

void CStmQtDialog::keyPressEvent(QKeyEvent* event) {
  // Enter and Esc go through the dialog's own key handling, as its other keys do.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (!m_dialog.SendKey(VK_RETURN)) Clicked(IDOK);
    else AfterLayer();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    if (!m_dialog.SendKey(VK_ESCAPE)) Clicked(IDCANCEL);
    else AfterLayer();
    return;
  }
  QDialog::keyPressEvent(event);
}
