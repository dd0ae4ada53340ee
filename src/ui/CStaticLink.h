#pragma once
// A text that works as a hyperlink: underlined, blue until it has been opened once, purple
// after. Clicking hands the target (or the text itself) to the desktop.

#include <functional>
#include <string>

#include <QLabel>

namespace tavrel {

class CStaticLink : public QLabel {
    Q_OBJECT
public:
    using Opener = std::function<bool(const std::string&)>;

    // An empty target means the label's text is the target.
    explicit CStaticLink(const QString& text = QString(), const QString& target = QString(),
                         QWidget* parent = nullptr);

    void SetTarget(const QString& target) { target_ = target; }
    const QString& target() const { return target_; }
    QColor colour() const { return colour_; }
    // Opens the target; beeps when the desktop cannot open it.
    void Open();

    static QColor UnvisitedColour() { return QColor(0, 0, 255); }
    static QColor VisitedColour() { return QColor(128, 0, 128); }
    // Test seam: replaces the desktop opener (nullptr restores it).
    static void SetOpener(Opener opener);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyColour();

    QString target_;
    QColor colour_ = UnvisitedColour();
};

}  // namespace tavrel
