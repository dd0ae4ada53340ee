#pragma once
// A one-line prompt for names that end up in our ";"-separated files, so it refuses the
// characters that would break a record as they are typed.

#include <string>

#include <QDialog>
class QLabel;
class QLineEdit;

namespace tavrel {

class TVLInputDialog : public QDialog {
    Q_OBJECT
public:
    explicit TVLInputDialog(QWidget* parent = nullptr);

    // Set before running; the caption and the prompt may be message IDs.
    void SetCaption(const std::string& caption) { caption_ = caption; }
    void SetPrompt(const std::string& prompt) { prompt_ = prompt; }
    void SetValue(const std::string& value) { value_ = value; }
    // After OK: the text of the edit.
    const std::string& value() const { return value_; }

    // The characters a value may never hold.
    static const char* const kRefused;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Prepare();
    void Clean();

    std::string caption_;
    std::string prompt_;
    std::string value_;
    QLabel* promptLabel_;
    QLineEdit* edit_;
    bool guard_ = false;
};

}  // namespace tavrel
