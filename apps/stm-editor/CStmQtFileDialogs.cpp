#include "CStmQtFileDialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

#include "host/model/CStmModel.h"
#include "host/model/StmMaterials.h"
#include "host/platform/StmText.h"

namespace {

QString ToQt(const CString& text) { return QString::fromUtf8(text.c_str()); }
QString Tr(const char* id) { return ToQt(StmText(id)); }

// A row of radio buttons, one per choice, its id the choice's; the one given is checked.
QButtonGroup* AddChoices(QFormLayout* form, const QString& title, const std::vector<std::pair<int, QString>>& choices,
                         int checked) {
  auto* row = new QHBoxLayout;
  auto* group = new QButtonGroup(form);
  for (const auto& [id, text] : choices) {
    auto* button = new QRadioButton(text);
    button->setObjectName(text);
    button->setChecked(id == checked);
    group->addButton(button, id);
    row->addWidget(button);
  }
  row->addStretch(1);
  form->addRow(title, row);
  return group;
}

// Units as the model names them; the common metric ones are enough to start from.
const char* const kLengths[] = {"mm", "cm", "m"};
const char* const kForces[] = {"N", "kN", "MN"};

int IndexOf(const char* const (&names)[3], const CString& unit) {
  for (int i = 0; i < 3; ++i)
    if (unit == names[i]) return i;
  return 0;
}

double Area(const std::vector<CDPoint>& ring) {
  double twice = 0.0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const CDPoint& a = ring[i];
    const CDPoint& b = ring[(i + 1) % ring.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return std::fabs(twice) / 2.0;
}

}  // namespace

CStmQtNewModelDialog::CStmQtNewModelDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("stmNewModel");
  setWindowTitle(Tr("New model"));
  const CStmModel fresh;
  auto* form = new QFormLayout;
  m_pPlane = AddChoices(form, Tr("Drawing plane"), {{STM_PLANE_XY, "x-y"}, {STM_PLANE_XZ, "x-z"}, {STM_PLANE_YZ, "y-z"}},
                        fresh.GetPlane());
  std::vector<std::pair<int, QString>> lengths, forces;
  for (int i = 0; i < 3; ++i) {
    lengths.emplace_back(i, kLengths[i]);
    forces.emplace_back(i, kForces[i]);
  }
  m_pLength = AddChoices(form, Tr("Length unit"), lengths, IndexOf(kLengths, fresh.GetUnitLength()));
  m_pForce = AddChoices(form, Tr("Force unit"), forces, IndexOf(kForces, fresh.GetUnitForce()));
  m_pCode = AddChoices(form, Tr("Design code"),
                       {{STM_CODE_ACI_318_19, "ACI 318-19"}, {STM_CODE_EN_1992_1_1, "EN 1992-1-1"}},
                       STM_CODE_ACI_318_19);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

SStmNewModel CStmQtNewModelDialog::Choice() const {
  SStmNewModel choice;
  choice.plane = m_pPlane->checkedId();
  choice.unitLength = kLengths[m_pLength->checkedId()];
  choice.unitForce = kForces[m_pForce->checkedId()];
  choice.designCode = m_pCode->checkedId();
  return choice;
}

CStmQtDxfImportDialog::CStmQtDxfImportDialog(QWidget* parent, const std::string& path, const SStmDxfOptions& options,
                                             const SStmDxfDrawing& drawing)
    : QDialog(parent), m_strPath(path), m_options(options), m_drawing(drawing) {
  setObjectName("stmDxfImport");
  setWindowTitle(Tr("Import DXF") + " - " + QString::fromStdString(std::filesystem::path(path).filename().string()));
  m_pLayer = new QComboBox;
  m_pLayer->setObjectName("guideLayer");
  m_pLayer->addItem(Tr("none"), QString());
  for (const std::string& layer : drawing.layers) m_pLayer->addItem(QString::fromStdString(layer), QString::fromStdString(layer));
  // The guidelines came from layers whose name holds the text asked for; the picker names the
  // first such layer.
  for (int i = 1; i < m_pLayer->count() && !m_options.guideLayer.empty(); ++i) {
    if (m_pLayer->itemText(i).contains(QString::fromStdString(m_options.guideLayer), Qt::CaseInsensitive)) {
      m_pLayer->setCurrentIndex(i);
      break;
    }
  }
  m_pUnit = new QComboBox;
  m_pUnit->setObjectName("drawingUnit");
  m_pUnit->addItem(Tr("as the file says"), QString());
  for (const char* unit : {"mm", "cm", "m", "in", "ft"}) m_pUnit->addItem(unit, QString(unit));
  m_pSummary = new QLabel;
  m_pSummary->setObjectName("dxfSummary");
  m_pLayers = new QLabel;
  m_pLayers->setObjectName("dxfLayers");
  m_pLayers->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* form = new QFormLayout;
  form->addRow(Tr("Guidelines from layer"), m_pLayer);
  form->addRow(Tr("Drawing unit"), m_pUnit);
  auto* created = new QGroupBox(Tr("What will be created"));
  (new QVBoxLayout(created))->addWidget(m_pSummary);
  auto* layers = new QGroupBox(Tr("Layers"));
  (new QVBoxLayout(layers))->addWidget(m_pLayers);
  m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  m_pButtons->button(QDialogButtonBox::Ok)->setText(Tr("Import"));
  connect(m_pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(m_pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(created);
  layout->addWidget(layers);
  layout->addWidget(m_pButtons);
  connect(m_pLayer, &QComboBox::currentIndexChanged, this, [this] { Reread(); });
  connect(m_pUnit, &QComboBox::currentIndexChanged, this, [this] { Reread(); });
  Reread();
}

void CStmQtDxfImportDialog::Reread() {
  m_options.guideLayer = m_pLayer->currentData().toString().toStdString();
  m_options.unit = m_pUnit->currentData().toString().toStdString();
  SStmDxfDrawing drawing;
  std::string error;
  const bool read = StmReadDxf(m_strPath, m_options, drawing, error);
  m_pButtons->button(QDialogButtonBox::Ok)->setEnabled(read);
  if (!read) {
    // The file changed on disk since it was first read: nothing to import as shown.
    m_pSummary->setText(QString::fromStdString(error));
    m_pLayers->clear();
    return;
  }
  m_drawing = std::move(drawing);
  Show();
}

void CStmQtDxfImportDialog::Show() {
  const QString unit = QString::fromStdString(m_options.modelUnit);
  QStringList lines;
  lines << ToQt(StmText("An outer outline of %1 points")).arg(m_drawing.outer.size());
  for (size_t i = 0; i < m_drawing.openings.size(); ++i)
    lines << ToQt(StmText("Opening %1: %2 %3²")).arg(i + 1).arg(Area(m_drawing.openings[i]), 0, 'g', 6).arg(unit);
  lines << ToQt(StmText("%1 guidelines")).arg(m_drawing.guideU.size() + m_drawing.guideV.size());
  if (m_drawing.ignored > 0) lines << ToQt(StmText("%1 entities left out")).arg(m_drawing.ignored);
  lines << ToQt(StmText("1 %1 of the drawing is %2 %3 of the model"))
               .arg(QString::fromStdString(m_drawing.unit))
               .arg(m_drawing.scale, 0, 'g', 6)
               .arg(unit);
  m_pSummary->setText(lines.join('\n'));
  m_pLayers->setText(QString::fromStdString(StmListDxfLayers(m_drawing)).trimmed());
}
