// "Show Debug Window" opens the debug window, which follows the link as it
// changes and copies what it shows.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include "acquisition/ui/form_debug.hpp"
#include "ui_test_support.hpp"

namespace torvane {

class FormDebugTest : public QObject {
  Q_OBJECT

 private slots:
  void theToolsEntryOpensAWindowThatFollowsTheLinkAndCopiesIt() {
    testing::Machine machine;
    testing::Program program;
    program.form.show();
    QAction* entry = program.form.findChild<QAction*>("mnuToolsDebug");
    QVERIFY(entry->isEnabled());
    entry->trigger();
    auto* window = program.form.findChild<FormDebug*>("FormDebug");
    QVERIFY(window != nullptr && window->isVisible());
    QVERIFY(window->Text().contains("Collection: idle\n"));
    program.session.collection.phase = CollectionPhase::Collecting;
    QTRY_VERIFY(window->Text().contains("Collection: collecting\n"));
    program.session.collection.phase = CollectionPhase::Idle;
    window->findChild<QPushButton*>("cmdCopy")->click();
    QCOMPARE(QApplication::clipboard()->text(), window->Text());
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FormDebugTest)
#include "form_debug_test.moc"
