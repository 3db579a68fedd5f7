#pragma once
// The about window: the program's icon, title, version and licence, the unit
// found, and a button that starts the platform's system information tool.

#include <QDialog>

namespace torvane {

struct Session;

class FrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit FrmAbout(Session& session, QWidget* parent = nullptr);

 private:
  void cmdSysInfo_Click();

  Session& session_;
};

}  // namespace torvane
