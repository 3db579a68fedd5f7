#pragma once
// The first-run window "Initial setup of the QLX": demonstration only or a
// real interface unit, which unit, and for a ZRA6 which serial port. Shown
// modally by start-up while `firsttime` is set; Cancel ends the program.

#include <QDialog>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace torvane {

struct Session;
enum class FirstRunInterface;

class FrmFirstTime : public QDialog {
  Q_OBJECT

 public:
  // `openHelpPage` opens a page of the "QLXHelp" folder.
  FrmFirstTime(Session& session, std::function<void(const char* page)> openHelpPage,
               QWidget* parent = nullptr);

 private:
  void ApplyVisibility();
  FirstRunInterface TickedInterface() const;
  void OKButton_Click();

  Session& session_;
  std::function<void(const char*)> openHelpPage_;
  QRadioButton* optionDemoYes_;
  QRadioButton* optionDemoNo_;
  QGroupBox* frameInstalledDrivers_;
  QGroupBox* frame6or7_;
  QRadioButton* optionZra6Plus_;
  QRadioButton* optionZra7_;
  QRadioButton* optionZra6_;
  QGroupBox* frameCommPort_;
  QListWidget* listZra6CommPort_;
  QPushButton* commandHelpWithDriverInstall_;
  QPushButton* commandFindCommPort_;
  QCheckBox* checkDontShow_;
};

}  // namespace torvane
