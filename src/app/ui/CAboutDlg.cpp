#include "app/ui/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "TavrelVersion.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "ui/AppIcons.h"
#include "ui/CStaticLink.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"

namespace tavrel {

const char* const CAboutDlg::kMakerWebPage = "https://www.brakkelund.example/tavrel";
const char* const CAboutDlg::kMakerMail = "mailto:tavrel@brakkelund.example";

VersionInfo CAboutDlg::ProgramVersionInfo() {
    return {TAVREL_PRODUCT_NAME, TAVREL_PRODUCT_VERSION, TAVREL_PRIVATE_BUILD, TAVREL_BUILD_DATE};
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) { Build(ProgramVersionInfo()); }

CAboutDlg::CAboutDlg(const VersionInfo& info, QWidget* parent) : QDialog(parent) { Build(info); }

void CAboutDlg::Build(const VersionInfo& info) {
    const DialogUnits du(font());
    setFixedSize(du.Size(253, 189));

    auto iconLabel = [&](int iconId, int x, int y) {
        auto* label = new QLabel(this);
        label->setPixmap(IconPixmap(iconId, 32));
        label->setGeometry(QRect(QPoint(du.X(x), du.Y(y)), QSize(32, 32)));
        return label;
    };
    iconLabel(128, 11, 17);
    iconLabel(139, 11, 104);

    auto* version = du.Place(new QLabel(this), 37, 20, 201, 11);
    version->setObjectName("1106");
    version->setText(QString::fromStdString(VersionLine(info)));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const AppSettings* settings = CurrentSettings();
    const std::string installFolder = settings ? settings->installFolder : Platform::ExecutableFolder();
    auto* pack = du.Place(new QLabel(this), 37, 42, 201, 11);
    pack->setObjectName("1107");
    pack->setText(QString::fromStdString(ServicePackLine(installFolder)));

    QFont bold = font();
    bold.setBold(true);
    auto* maker = du.Place(new QLabel(QStringLiteral("Brakkelund Software"), this), 37, 66, 201, 10);
    maker->setFont(bold);
    du.Place(new QLabel(QStringLiteral("Cutting plans for glass and panel workshops"), this), 37, 78, 201,
             10);
    du.Place(new QLabel(QStringLiteral("Copyright \u00a9 Brakkelund Software. All rights reserved."), this),
             37, 90, 201, 10);

    auto* web = du.Place(new CStaticLink(QStringLiteral("www.brakkelund.example/tavrel"),
                                         QString::fromLatin1(kMakerWebPage), this),
                         37, 110, 201, 10);
    web->setObjectName("1213");
    auto* mail = du.Place(
        new CStaticLink(QStringLiteral("tavrel@brakkelund.example"), QString::fromLatin1(kMakerMail), this),
        37, 124, 201, 10);
    mail->setObjectName("1214");

    auto* ok = du.Place(new QPushButton(QStringLiteral("00008"), this), 190, 164, 50, 14);
    ok->setObjectName("1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    CompileDialogStrings(this);
    setWindowTitle(QString::fromStdString(Msg("00247")));
}

}  // namespace tavrel
