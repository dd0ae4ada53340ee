// The import window on Qt's offscreen platform: the guess pre-sets the drop-downs, a changed
// drop-down checks the rows again, OK writes what the headless run writes.

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "ImportFiles.h"
#include "ImportWindow.h"

using namespace tavrel;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "excel_import_window_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

}  // namespace

TEST(ImportWindowRun, GuessShownProblemsListedOkWrites) {
    App();
    TempDir dir;
    WriteText(dir / "IMPORT/TAVREL.XNI",
              PiecesTemplate(dir / "IMPORT", {{"FL", "4MM", ""}, {"FL", "6MM", ""}}));
    WriteText(
        dir / "ordine.csv",
        "Rif.;Serie;Codice;Q.t\xE0;Larghezza;Altezza\r\nA1;FL;4MM;2;1000,5;500\r\nA2;FL;6MM;1;450;12a\r\n");
    ImportSession session;
    std::string error;
    ASSERT_TRUE(LoadTemplate(session, ImportKind::Pieces, dir / "IMPORT/TAVREL.XNI", error)) << error;
    ImportOptions options;
    ImportWindow window(session, options);
    ASSERT_TRUE(window.openFile(QString::fromStdString(dir / "ordine.csv")));

    auto combo = [&](const std::string& field) {
        return window.findChild<QComboBox*>(QString::number(1100 + session.plan.indexOf(field)));
    };
    ASSERT_NE(combo("F_5"), nullptr);
    EXPECT_EQ(combo("F_5")->currentData().toInt(), 1);  // Serie in column B
    EXPECT_EQ(combo("F_2")->currentData().toInt(), 3);
    EXPECT_EQ(combo("F_2")->currentText(), QString::fromUtf8("D: Q.t\xC3\xA0"));
    EXPECT_EQ(combo("F_10")->currentData().toInt(), -1);
    auto* problems = window.findChild<QListWidget*>("1007");
    auto* ok = window.findChild<QPushButton*>("1");
    ASSERT_NE(problems, nullptr);
    ASSERT_EQ(problems->count(), 1);
    EXPECT_EQ(problems->item(0)->text().toStdString(), "row 3, column F (Height): \"12a\" is not a number");
    EXPECT_FALSE(ok->isEnabled());

    // Width from no column: the rows are checked again at once.
    combo("F_3")->setCurrentIndex(0);
    ASSERT_GE(problems->count(), 1);
    EXPECT_EQ(problems->item(0)->text().toStdString(), "no column of the sheet gives \"Width\" (F_3)");
    combo("F_3")->setCurrentIndex(5);

    // Another sheet without the problem: OK writes the result and closes the window.
    WriteText(dir / "buona.csv", "Serie;Codice;Quantit\xE0;Larghezza;Altezza\r\nFL;6MM;4;450;300\r\n");
    ASSERT_TRUE(window.openFile(QString::fromStdString(dir / "buona.csv")));
    EXPECT_EQ(problems->count(), 0);
    ASSERT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(ReadText(dir / "IMPORT/buona.TVX").substr(0, 44),
              "\"FL\";\"6MM\";\"\";4;450.000;300.000;\"\";\"\";\"\";\"\"\n");
}
