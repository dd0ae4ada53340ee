// Takes the README's pictures of the layout viewer on the demo job: a screenshot of the window
// and the exported plan as PDF (A4 and A3, and A4 portrait as a printer may be set), whose pages pdftoppm
// turns into PNG. Run it under a real X server, so the screenshot shows the fonts a user sees:
//   xvfb-run -a engine_viewer_pictures <output folder>

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QPdfWriter>
#include <QTest>

#include "DemoPlan.h"
#include "viewer/LayoutViewer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    TempDir dir;
    ResultPlan plan;
    if (!demo::MakePlan(dir, plan)) {
        std::printf("the demo job gave no plan\n");
        return 1;
    }
    // The texts the program writes into the engine input for this job.
    plan.setHeader("Job", "Kitchen Miller");
    plan.setHeader("Customer", "MILLER");
    plan.setHeader("Order", "2026-118");
    LayoutViewer viewer(plan);
    bool ok = viewer.exportPdf(out + "/plan-a4.pdf") && viewer.exportPdf(out + "/plan-a3.pdf", QPageSize::A3);
    {
        // As a printer set to portrait prints it.
        QPdfWriter portrait(out + "/plan-a4-portrait.pdf");
        portrait.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                           QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        ok = viewer.printTo(portrait) && ok;
    }
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer)) {
        std::printf("window not exposed\n");
    }
    QTest::qWait(300);
    ok = viewer.grab().save(out + "/layout-viewer.png") && ok;
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(out));
    return ok ? 0 : 1;
}
