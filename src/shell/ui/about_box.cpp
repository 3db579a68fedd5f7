#include "shell/ui/about_box.hpp"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>
#include <QVBoxLayout>

#include "shell/platform_name.hpp"
#include "shell/session.hpp"
#include "shell/spreadsheet_app.hpp"
#include "shell/ui/product_icon.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

QString VersionText() {
  return QString("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

// The unit found, as its identity reply named it.
QString UnitText(const Session& session) {
  const SettingsRecord& s = session.settings;
  if (session.DemoMode) return "Demonstration mode: no interface unit is used";
  if (s.ZRA7Input &&
      !QString::fromStdString(session.link.zra7.Zra7FirmwareVersion).trimmed().isEmpty()) {
    return QString("ZRA7 firmware %1, serial number %2")
        .arg(QString::fromStdString(session.link.zra7.Zra7FirmwareVersion).trimmed(),
             QString::fromStdString(session.link.zra7.Zra7SerialNumber).trimmed());
  }
  if ((s.ZRA6Input || s.ZRA6PlusInput) && !session.link.serial.UnitVersion.empty()) {
    return QString("%1 %2, serial number %3")
        .arg(s.ZRA6Input ? "ZRA6" : "ZRA6+",
             QString::fromStdString(session.link.serial.UnitVersion),
             QString::fromStdString(session.link.serial.UnitSerialNumber));
  }
  return "No interface unit found";
}

}  // namespace

FrmAbout::FrmAbout(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName("frmAbout");
  setWindowTitle(QString("About ") + kProductTitle);
  setWindowIcon(ProductIcon());
  auto* icon = new QLabel(this);
  icon->setObjectName("imgIcon");
  icon->setPixmap(ProductIcon().pixmap(QSize(64, 64), devicePixelRatioF()));
  icon->setAlignment(Qt::AlignTop);
  auto* title = new QLabel(kProductTitle, this);
  title->setObjectName("lblTitle");
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  title->setFont(big);
  auto* version = new QLabel(VersionText(), this);
  version->setObjectName("lblVersion");
  auto* description = new QLabel(kFileDescription, this);
  description->setObjectName("lblDescription");
  auto* unit = new QLabel(UnitText(session_), this);
  unit->setObjectName("lblModel");
  auto* licence = new QLabel(
      "Free software under the GNU General Public License, version 3 or (at your option) any "
      "later version (GPL-3.0-or-later). It comes with no warranty.",
      this);
  licence->setObjectName("lblLicence");
  licence->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* sysInfo = buttons->addButton("&System Info...", QDialogButtonBox::ActionRole);
  sysInfo->setObjectName("cmdSysInfo");
  buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(sysInfo, &QPushButton::clicked, this, &FrmAbout::cmdSysInfo_Click);

  auto* text = new QVBoxLayout;
  text->setSpacing(8);
  text->addWidget(title);
  text->addWidget(version);
  text->addWidget(description);
  text->addSpacing(8);
  text->addWidget(unit);
  text->addWidget(licence);
  auto* top = new QHBoxLayout;
  top->setSpacing(18);
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  layout->addLayout(top);
  layout->addSpacing(12);
  layout->addWidget(buttons);
  // The licence wraps at the title's width, not at a narrow default.
  licence->setMinimumWidth(title->sizeHint().width());
}

void FrmAbout::cmdSysInfo_Click() {
  for (const char* tool : {"gnome-system-monitor", "kinfocenter", "hardinfo", "lshw-gtk"}) {
    const QString path = QStandardPaths::findExecutable(tool);
    if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
  }
  // No system information tool installed: what this program can tell.
  QMessageBox::information(
      this, "System Information",
      QString("Operating system: %1\nKernel: %2 %3\nProcessor: %4\nQt: %5\nWorkbook writer: "
              "libxlsxwriter %6")
          .arg(QString::fromStdString(GetWindowsVersionName()), QSysInfo::kernelType(),
               QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture(), qVersion(),
               QString::fromStdString(DetectExcel())));
}

}  // namespace torvane
