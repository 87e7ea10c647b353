#pragma once
// The seven real Qt windows, offscreen, on a folder of three small bitmaps
// (page1.bmp .. page3.bmp). The program asks the scripted fake platform for
// dialogs, or the real Qt one when a test sets `realDialogs` before SetUp.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include <QPointer>

#include "imaging/bitmap.h"
#include "imaging/bmp_file.h"
#include "program/program.h"
#include "qt_app.h"
#include "support/fake_platform.h"
#include "support/temp_dir.h"
#include "ui/QtPlatform.h"
#include "ui/Unit1.h"
#include "ui/windows.h"

namespace quillet::uitest {

struct SampleFolder : quillet::testing::TempDir {
    SampleFolder() : TempDir("quillet-uitest") {
        for (int i = 1; i <= 3; ++i) {
            quillet::imaging::Bitmap b(40 + 10 * i, 60);
            b.fillRect({5, 5, 20, 20}, quillet::imaging::kBlack);
            quillet::imaging::saveBmp(b, file("page" + std::to_string(i) + ".bmp"));
        }
    }
};

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        // The models place windows on the same screen that Qt shows them on.
        const QSize screen = QGuiApplication::primaryScreen()->size();
        fake.screen = {screen.width(), screen.height()};
        program = realDialogs ? std::make_unique<quillet::app::Program>(qt, folder.path(), "")
                              : std::make_unique<quillet::app::Program>(fake, folder.path(), "");
        windows = std::make_unique<quillet::ui::QuilletWindows>(*program, qt);
        QApplication::processEvents();
    }
    void TearDown() override {
        windows.reset();
        program.reset();
    }
    quillet::ui::TForm1& form1() { return *windows->Form1; }
    quillet::app::MainForm& model() { return program->form; }

    // Once the next modal dialog is up, `inspect` sees it, then it closes.
    static void whenModal(std::function<void(QWidget*)> inspect) {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            poll->stop();
            poll->deleteLater();
            inspect(modal);
            modal->close();
        });
        poll->start(10);
    }

    // The box's button captioned `text` (access-key marks ignored).
    static QAbstractButton* button(QWidget* box, QString text) {
        text.remove('&');
        for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
            if (b->text().remove('&') == text) return b;
        ADD_FAILURE() << "no button " << text.toStdString() << " in " << box->windowTitle().toStdString();
        return nullptr;
    }

    // Each modal window that comes up in turn goes to the next of `steps`,
    // which answers it (or leaves it to answer itself).
    static void whenModals(std::vector<std::function<void(QWidget*)>> steps) {
        auto* poll = new QTimer(qApp);
        auto left = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(steps));
        auto last = std::make_shared<QPointer<QWidget>>();
        QObject::connect(poll, &QTimer::timeout, poll, [poll, left, last] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal == last->data()) return;
            *last = modal;
            const auto step = left->front();
            left->erase(left->begin());
            if (left->empty()) {
                poll->stop();
                poll->deleteLater();
            }
            step(modal);
        });
        poll->start(10);
    }

    bool realDialogs = false;
    SampleFolder folder;
    quillet::testing::FakePlatform fake;
    quillet::ui::QtPlatform qt;
    std::unique_ptr<quillet::app::Program> program;
    std::unique_ptr<quillet::ui::QuilletWindows> windows;
};

}  // namespace quillet::uitest
