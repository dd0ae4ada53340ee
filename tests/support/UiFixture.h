#pragma once
// A fresh installation folder per test, scripted message boxes and file dialogs, and a way to
// act on a modal window from inside its event loop, so no test ever waits for a user.

#include <filesystem>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "common/UserPrompt.h"
#include "materials/MaterialsFile.h"
#include "model/MaterialList.h"
#include "settings/AppSettings.h"
#include "support/TempDir.h"
#include "ui/FileDialogs.h"
#include "ui/QtUserPrompt.h"

using namespace tavrel;

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        cwd_ = std::filesystem::current_path();
        InstallSuiteFiles(dir.path());
        SetWindowPromptOverride(&prompt);
        FileDialogs::ClearScript();
    }
    void TearDown() override {
        SetWindowPromptOverride(nullptr);
        FileDialogs::ClearScript();
        SetCurrentSettings(nullptr);
        SetCurrentCatalogue(nullptr);
        std::filesystem::current_path(cwd_);
    }

    // How many boxes showed a text containing `part`.
    int Shown(const std::string& part) const {
        int n = 0;
        for (const auto& box : prompt.shown())
            if (box.text.find(part) != std::string::npos) ++n;
        return n;
    }

    // Runs `act` on the modal window once its event loop runs. `act` must close it; if it does
    // not, the window is closed after a few seconds and the test fails instead of hanging.
    static void WhenModal(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act] {
            QPointer<QWidget> modal = QApplication::activeModalWidget();
            if (!modal) {
                ADD_FAILURE() << "no modal window is open";
                return;
            }
            act(modal);
            QTimer::singleShot(5000, [modal] {
                if (modal && modal->isVisible()) {
                    ADD_FAILURE() << "the modal window was left open";
                    modal->close();
                }
            });
        });
    }

    // Adds a base material and one treatment of it to the installation's catalogue, texts as a
    // Windows station writes them (Windows-1252).
    static void AddToCatalogue(const AppSettings& settings, const std::string& serie, const std::string& code,
                               const std::string& treatment) {
        const std::string path = MaterialsFile::pathIn(settings.dataFolder);
        MaterialList list;
        list.load(path, settings.current);
        list.add(Material(serie, code, ""));
        list.add(Material(serie, code, treatment));
        ASSERT_TRUE(list.save(path, settings.current));
    }
    // Chooses the line showing `shown` as the user does, so the window follows the choice.
    static void ChooseShown(QComboBox* box, const QString& shown) {
        const int line = box->findText(shown);
        ASSERT_GE(line, 0) << shown.toStdString();
        box->setCurrentIndex(line);
        emit box->activated(line);
    }

    TempDir dir;
    ScriptedPrompt prompt;

private:
    std::filesystem::path cwd_;
};
