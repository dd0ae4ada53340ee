#pragma once
// The about box: product, version, build and date, the service pack, and how to reach the maker.

#include <QDialog>

#include "app/AboutText.h"

namespace tavrel {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // `info` defaults to this executable's own version information.
    explicit CAboutDlg(QWidget* parent = nullptr);
    CAboutDlg(const VersionInfo& info, QWidget* parent);

    // What the build stamped into the program.
    static VersionInfo ProgramVersionInfo();

    static const char* const kMakerWebPage;
    static const char* const kMakerMail;

private:
    void Build(const VersionInfo& info);
};

}  // namespace tavrel
