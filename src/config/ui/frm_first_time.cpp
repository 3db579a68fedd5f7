#include "config/ui/frm_first_time.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "config/first_run.hpp"
#include "shell/config_session.hpp"
#include "shell/help_pages.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

QRadioButton* Option(QWidget* parent, const char* name, const char* caption) {
  auto* option = new QRadioButton(caption, parent);
  option->setObjectName(name);
  return option;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QGroupBox* Frame(QWidget* parent, const char* name, const char* caption) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(name);
  return frame;
}

}  // namespace

FrmFirstTime::FrmFirstTime(Session& session, std::function<void(const char*)> openHelpPage,
                           QWidget* parent)
    : QDialog(parent), session_(session), openHelpPage_(std::move(openHelpPage)) {
  setObjectName("frmFirstTime");
  setWindowTitle("Initial setup of the QLX");
  setModal(true);

  auto* instructions = new QLabel(
      "There are some settings which have to be determined before running the QLX software.  "
      "Please answer the following questions.",
      this);
  instructions->setObjectName("LabelInstructions");
  instructions->setWordWrap(true);

  QGroupBox* frameDemo = Frame(this, "FrameDemo", "Demonstration or data analysis only?");
  optionDemoYes_ = Option(frameDemo, "OptionDemoYes", "Yes");
  optionDemoNo_ = Option(frameDemo, "OptionDemoNo", "No");
  auto* demoLayout = new QHBoxLayout(frameDemo);
  demoLayout->addWidget(optionDemoYes_);
  demoLayout->addWidget(optionDemoNo_);
  demoLayout->addStretch();

  frameInstalledDrivers_ =
      Frame(this, "FrameInstalledDrivers", "Have you installed the interface device drivers?");
  auto* driversYes = Option(frameInstalledDrivers_, "OptionDriversYes", "Yes");
  auto* driversNo = Option(frameInstalledDrivers_, "OptionDriversNo", "No");
  commandHelpWithDriverInstall_ = Button(frameInstalledDrivers_, "CommandHelpWithDriverInstall",
                                         "Assist me to install the drivers");
  auto* driversLayout = new QHBoxLayout(frameInstalledDrivers_);
  driversLayout->addWidget(driversYes);
  driversLayout->addWidget(driversNo);
  driversLayout->addStretch();
  driversLayout->addWidget(commandHelpWithDriverInstall_);

  frame6or7_ = Frame(this, "Frame6or7", "What is the interface you will be using?");
  optionZra6Plus_ = Option(frame6or7_, "OptionZRA6Plus", "ZRA6+");
  optionZra7_ = Option(frame6or7_, "OptionZRA7", "ZRA7");
  optionZra6_ = Option(frame6or7_, "OptionZRA6", "ZRA6");
  auto* unitLayout = new QHBoxLayout(frame6or7_);
  unitLayout->addWidget(optionZra6Plus_);
  unitLayout->addWidget(optionZra7_);
  unitLayout->addWidget(optionZra6_);
  unitLayout->addStretch();

  frameCommPort_ = Frame(this, "FrameCommPort", "What COM Port is assigned for the ZRA6?");
  listZra6CommPort_ = new QListWidget(frameCommPort_);
  listZra6CommPort_->setObjectName("ListZRA6CommPort");
  for (int n = 1; n <= kFirstRunPortCount; ++n) listZra6CommPort_->addItem(QString("COM%1").arg(n));
  listZra6CommPort_->setToolTip(
      "COMn is the serial device /dev/ttyS(n-1), unless the [Ports] section of QLXConfig.ini "
      "names another device for it (for example COM3=/dev/ttyUSB0).");
  listZra6CommPort_->setMaximumHeight(110);
  auto* portLayout = new QVBoxLayout(frameCommPort_);
  portLayout->addWidget(listZra6CommPort_);
  commandFindCommPort_ = Button(this, "CommandFindCommPort", "Assist me to find the COM port");

  checkDontShow_ = new QCheckBox("Don't show me this again", this);
  checkDontShow_->setObjectName("CheckDontShow");
  QPushButton* ok = Button(this, "OKButton", "OK");
  QPushButton* cancel = Button(this, "CancelButton", "Cancel");
  ok->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(checkDontShow_);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* findPort = new QHBoxLayout;
  findPort->addStretch();
  findPort->addWidget(commandFindCommPort_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(instructions);
  layout->addWidget(frameDemo);
  layout->addWidget(frameInstalledDrivers_);
  layout->addWidget(frame6or7_);
  layout->addWidget(frameCommPort_);
  layout->addLayout(findPort);
  layout->addStretch();
  layout->addLayout(buttons);
  setMinimumWidth(520);

  // Loading: a real unit is assumed; the stored unit and port are ticked.
  optionDemoNo_->setChecked(true);
  ChooseDemonstration(FirstRunContextOf(session_), false);
  driversYes->setChecked(true);
  const int port = PreselectedPortIndex(session_.settings);
  if (port >= 0) listZra6CommPort_->setCurrentRow(port);
  switch (PreselectedInterface(session_.settings)) {
    case FirstRunInterface::Zra6Plus:
      optionZra6Plus_->setChecked(true);
      break;
    case FirstRunInterface::Zra7:
      optionZra7_->setChecked(true);
      break;
    case FirstRunInterface::Zra6:
      optionZra6_->setChecked(true);
      break;
    case FirstRunInterface::None:
      break;
  }
  ApplyVisibility();

  connect(optionDemoYes_, &QRadioButton::toggled, this, [this](bool on) {
    if (!on) return;
    ChooseDemonstration(FirstRunContextOf(session_), true);
    ApplyVisibility();
  });
  connect(optionDemoNo_, &QRadioButton::toggled, this, [this](bool on) {
    if (!on) return;
    ChooseDemonstration(FirstRunContextOf(session_), false);
    ApplyVisibility();
  });
  for (QRadioButton* option : {optionZra6Plus_, optionZra7_, optionZra6_}) {
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (!on) return;
      ChooseFirstRunInterface(session_.settings, TickedInterface());
      ApplyVisibility();
    });
  }
  connect(listZra6CommPort_, &QListWidget::currentRowChanged, this,
          [this](int row) { ChooseFirstRunPort(session_.settings, row); });
  connect(commandHelpWithDriverInstall_, &QPushButton::clicked, this,
          [this] { openHelpPage_(kGettingStartedPage); });
  connect(commandFindCommPort_, &QPushButton::clicked, this,
          [this] { openHelpPage_(kFindComPortPage); });
  connect(ok, &QPushButton::clicked, this, &FrmFirstTime::OKButton_Click);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

FirstRunInterface FrmFirstTime::TickedInterface() const {
  if (optionZra6Plus_->isChecked()) return FirstRunInterface::Zra6Plus;
  if (optionZra7_->isChecked()) return FirstRunInterface::Zra7;
  if (optionZra6_->isChecked()) return FirstRunInterface::Zra6;
  return FirstRunInterface::None;
}

void FrmFirstTime::ApplyVisibility() {
  const FirstRunVisibility v = FirstRunVisibilityFor(FirstRunContextOf(session_));
  frameInstalledDrivers_->setVisible(v.driversQuestion);
  frame6or7_->setVisible(v.interfaceQuestion);
  commandHelpWithDriverInstall_->setVisible(v.helpButtons);
  commandFindCommPort_->setVisible(v.helpButtons);
  frameCommPort_->setVisible(v.portFrame);
}

void FrmFirstTime::OKButton_Click() {
  FirstRunChoices choices;
  choices.demonstration = optionDemoYes_->isChecked();
  choices.interfaceOption = TickedInterface();
  choices.selectedPort = listZra6CommPort_->selectedItems().size() == 1
                             ? listZra6CommPort_->row(listZra6CommPort_->selectedItems().front())
                             : -1;
  choices.dontShowAgain = checkDontShow_->isChecked();
  AcceptFirstRun(FirstRunContextOf(session_), choices);
  accept();
}

}  // namespace torvane
