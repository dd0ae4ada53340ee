// The library's windows on the offscreen platform: the progress window shows plans and its stop
// button ends the search keeping the best plan; the viewer draws to scale and exports PDF.

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "GoldenLines.h"
#include "support/TempDir.h"
#include "viewer/LayoutViewer.h"
#include "viewer/PlanPainter.h"
#include "viewer/Windows.h"

namespace {

// The application object lives in main() below, so it is gone before Qt's own statics.
void App() { ASSERT_NE(QApplication::instance(), nullptr); }

// Two plate types, so no plate count bound ends the search early.
std::string WriteInput(const TempDir& dir) {
    const std::string path = dir / "JOB.R01";
    WriteText(path, golden::LineA("FL_4MM", 1, 32100, 22500, 99999, 0, 'R') + golden::LineB(100, 0, 2000) +
                        golden::LineA("FL_4MM", 2, 20000, 15000, 3, 999, 'r') + golden::LineB(100, 0, 2000) +
                        golden::Piece("FL_4MM", 1, 5000, 3000, 14, "W1", true) +
                        golden::Piece("FL_4MM", 2, 2500, 1800, 9, "W2", false) +
                        golden::Piece("FL_4MM", 3, 7100, 4300, 5, "W3", true));
    return path;
}

QWidget* FindTop(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace

TEST(Windows, ProgressWindowShowsThePlansAndClosesItself) {
    App();
    TempDir dir;
    QWidget parent;
    bool seen = false;
    QString text;
    QTimer::singleShot(400, [&]() {
        if (QWidget* w = FindTop("engineProgress")) {
            seen = true;
            text = w->findChild<QLabel*>("plates")->text();
        }
    });
    EditorOptions o;
    o.timeLimit = 1.0;
    EditorStatus status = EditorStatus::CannotWrite;
    const std::string result = RunOptimiseWithProgress(&parent, WriteInput(dir), o, status);
    EXPECT_EQ(status, EditorStatus::Ok);
    ASSERT_FALSE(result.empty());
    EXPECT_TRUE(std::filesystem::exists(result));
    EXPECT_TRUE(seen);
    EXPECT_TRUE(text.contains("plates")) << text.toStdString();
    EXPECT_EQ(FindTop("engineProgress"), nullptr);
}

TEST(Windows, StopButtonKeepsTheBestPlan) {
    App();
    TempDir dir;
    QWidget parent;
    QTimer::singleShot(300, []() {
        if (QWidget* w = FindTop("engineProgress")) {
            w->findChild<QPushButton*>("stop")->click();
        }
    });
    EditorOptions o;
    o.timeLimit = 120.0;
    EditorStatus status = EditorStatus::CannotWrite;
    const auto start = std::chrono::steady_clock::now();
    const std::string result = RunOptimiseWithProgress(&parent, WriteInput(dir), o, status);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20.0);
    ASSERT_FALSE(result.empty());
    EXPECT_EQ(status, EditorStatus::Ok);
}

TEST(Windows, NoParentNoWindow) {
    App();
    TempDir dir;
    bool seen = false;
    QTimer::singleShot(0, [&]() { seen = FindTop("engineProgress") != nullptr; });
    EditorOptions o;
    o.timeLimit = 0.2;
    EditorStatus status;
    EXPECT_FALSE(RunOptimiseWithProgress(nullptr, WriteInput(dir), o, status).empty());
    // Something that is not one of the program's widgets is never used as a parent.
    int notAWidget = 0;
    EXPECT_FALSE(WindowsAvailable(&notAWidget));
    EXPECT_FALSE(RunOptimiseWithProgress(&notAWidget, WriteInput(dir), o, status).empty());
    QApplication::processEvents();
    EXPECT_FALSE(seen);
    QWidget widget;
    EXPECT_TRUE(WindowsAvailable(&widget));
}

TEST(Windows, ViewerDrawsToScaleAndExportsPdf) {
    App();
    TempDir dir;
    EditorOptions o;
    o.timeLimit = 0.3;
    EditorStatus status;
    const std::string result = RunOptimise(WriteInput(dir), o, status);
    ASSERT_FALSE(result.empty());
    ResultPlan plan;
    ASSERT_TRUE(ParseResult(ReadText(result), plan));

    LayoutViewer viewer(plan);
    const QString pdf = QString::fromStdString(dir / "plan.pdf");
    ASSERT_TRUE(viewer.exportPdf(pdf));
    EXPECT_EQ(ReadText(pdf.toStdString()).substr(0, 4), "%PDF");
    // A folder that does not exist: reported, not taken for a written plan.
    EXPECT_FALSE(viewer.exportPdf(QString::fromStdString(dir / "no-such-folder/plan.pdf")));

    // A 100 x 50 plate drawn into 200 x 100 pixels: a piece in the lower-left quarter, an offcut
    // on the right half, waste elsewhere.
    ResultPattern p;
    p.width = 1000;
    p.height = 500;
    p.pieces.push_back(ResultPiece{0, 0, 500, 250, false, 1, "A"});
    p.offcuts.push_back(ResultOffcut{500, 0, 500, 500});
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    PaintOptions opt;
    opt.labels = false;
    opt.cutOrder = false;
    PaintPattern(painter, p, QRectF(0, 0, 200, 100), opt);
    painter.end();
    const QColor piece = image.pixelColor(50, 75);
    const QColor waste = image.pixelColor(50, 25);
    EXPECT_GT(piece.lightness(), 230) << "piece drawn light";
    EXPECT_NEAR(waste.red(), 200, 10) << "waste drawn grey";
    EXPECT_GT(image.pixelColor(150, 50).green(), image.pixelColor(150, 50).red()) << "offcut green";

    // The viewer opened by LoadEditor's machine-file path closes again.
    QWidget parent;
    QTimer::singleShot(200, []() {
        if (QWidget* w = FindTop("layoutViewer")) {
            w->findChild<QPushButton*>("close")->click();
        }
    });
    ShowLayoutViewer(&parent, result);
    EXPECT_EQ(FindTop("layoutViewer"), nullptr);
}

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// A material written by a Windows station ("É" as one byte) shows as its letters in the viewer.
TEST(Windows, ViewerShowsWindowsTextsAsTheirLetters) {
    App();
    ResultPlan plan;
    plan.setHeader("Material", "FL_\xC9LITE");
    LayoutViewer viewer(plan);
    EXPECT_EQ(viewer.windowTitle(), QString::fromUtf8("Cutting plan - FL, \xC3\x89LITE"));
    // That plan has no pattern: nothing to export, and no empty PDF that passes for a plan.
    TempDir dir;
    EXPECT_FALSE(viewer.exportPdf(QString::fromStdString(dir / "empty.pdf")));
    EXPECT_FALSE(viewer.findChild<QPushButton*>("pdf")->isEnabled());
}
