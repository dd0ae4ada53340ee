// The import window on Qt's offscreen platform: the guess pre-sets the drop-downs, a changed
// drop-down checks the rows again, OK writes what the headless run writes.

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
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

TEST(ImportWindowRun, PlatesRowsShownOkUpdatesTheCatalogue) {
    App();
    TempDir dir;
    const std::string before =
        "FILE_VERSION=2\r\n\"FL\";\"4MM\";\"\";4;3210.000;2250.000;1;0.000;0;0;0.000000\r\n";
    WriteText(dir / "DAT/Plates.dat", before);
    WriteText(dir / "IMPORT/PLATES/TAVREL_plates.XNI",
              PlatesTemplate(dir / "IMPORT/PLATES", dir / "DAT/Plates.dat",
                             {{"FL", "4MM", ""}, {"FL", "6MM", ""}}));
    // Windows-1252 headers, CR LF, a decimal comma and an empty row between the plates.
    WriteText(dir / "magazzino.csv",
              "Serie;Codice;Quantit\xE0;Larghezza;Altezza;Priorit\xE0\r\nFL;4MM;3;3210;2250;1\r\n;;;;;\r\n"
              "fl;6mm;12;2000,5;1000;\r\n");
    ImportSession session;
    std::string error;
    ASSERT_TRUE(LoadTemplate(session, ImportKind::Plates, dir / "IMPORT/PLATES/TAVREL_plates.XNI", error))
        << error;
    ImportOptions options;
    ImportWindow window(session, options);
    ASSERT_TRUE(window.openFile(QString::fromStdString(dir / "magazzino.csv")));

    // The row table holds the sheet as it is, numbered by the sheet's own rows.
    auto* table = window.findChild<QTableWidget*>("1005");
    ASSERT_NE(table, nullptr);
    auto cell = [&](int r, int c) {
        return table->item(r, c) ? table->item(r, c)->text().toStdString() : "";
    };
    ASSERT_EQ(table->rowCount(), 3) << "the empty row is not a row of data";
    ASSERT_GE(table->columnCount(), 6);
    EXPECT_EQ(table->horizontalHeaderItem(5)->text().toStdString(), "F");
    EXPECT_EQ(cell(0, 2), "Quantit\xC3\xA0");
    EXPECT_EQ(cell(1, 0), "FL");
    EXPECT_EQ(cell(1, 4), "2250");
    EXPECT_EQ(cell(2, 3), "2000,5");
    EXPECT_EQ(table->verticalHeaderItem(2)->text().toStdString(), "4");
    EXPECT_TRUE(cell(2, 5).empty());

    auto* problems = window.findChild<QListWidget*>("1007");
    auto* ok = window.findChild<QPushButton*>("1");
    ASSERT_NE(problems, nullptr);
    EXPECT_EQ(problems->count(), 0) << problems->item(0)->text().toStdString();
    ASSERT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    // The equal plate takes the imported quantity; the new one follows in millimetres.
    EXPECT_EQ(ReadText(dir / "DAT/Plates.dat"),
              "FILE_VERSION=2\n"
              "\"FL\";\"4MM\";\"\";7;3210.000;2250.000;1;0.000;0;0;0.000000\n"
              "\"FL\";\"6MM\";\"\";12;2000.500;1000.000;0;0.000;0;0;0.000000\n");
}
