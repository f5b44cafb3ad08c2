// The program's only window: the share-link box, the two step buttons, the captcha picture and
// box, and the two result boxes with their copy buttons.
#pragma once

// moc cannot read the Chinese control names of these headers, and needs nothing from them.
#ifndef Q_MOC_RUN
#include "resolve/program_values.h"
#include "resolve/window_port.h"
#endif

#include <QPointer>
#include <QWidget>

#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace murrel {

class PictureBox;

class MainWindow : public QWidget, public WindowPort
{
    Q_OBJECT

public:
    using Step = std::function<void(ProgramValues&, WindowPort&)>;
    // What the two step buttons run; the real steps unless a test puts its own in.
    struct Steps
    {
        Step captcha;
        Step link;
    };
    [[nodiscard]] static Steps resolveSteps();

    // Builds every control and then delivers the created event (Main_OnCreated).
    explicit MainWindow(ProgramValues& values, Steps steps = resolveSteps(), QWidget* parent = nullptr);

    // The window as the steps see it. Once the window is closing every read gives the empty text and
    // every change is dropped, so that a step still running finishes without effect.
    [[nodiscard]] Text readText(Control box) override;
    void writeText(Control box, const Text& text) override;
    void setEnabled(Control button, bool enabled) override;
    void setFocus(Control control) override;
    void setPicture(Control pictureBox, const Bytes& encodedImage) override;
    using QWidget::setEnabled;
    using QWidget::setFocus;

    [[nodiscard]] bool isClosing() const { return m_closing; }

signals:
    // The user closed the window; steps that still wait should give up.
    void closing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Main_OnCopyNormal();
    void Main_OnCopyThunder();
    void runCaptchaStep();
    void runLinkStep();

private:
    void createControls();
    QGroupBox* groupBox();
    void centreOnScreen();
    [[nodiscard]] QWidget* controlOf(Control control) const;
    [[nodiscard]] QLineEdit* editBoxOf(Control box) const;

    void Main_OnCreated();
    void Main_OnLinkBoxLeftDown(int x, int y, Qt::KeyboardModifiers keys);

    ProgramValues& m_values;
    Steps m_steps;
    bool m_closing = false;

    QPointer<QPushButton> m_按钮2;
    QPointer<QPushButton> m_按钮1;
    QPointer<PictureBox> m_图片框1;
    QPointer<QLineEdit> m_编辑框_迅雷下载;
    QPointer<QLineEdit> m_编辑框_普通下载;
    QPointer<QGroupBox> m_分组框1;
    QPointer<QPushButton> m_按钮_获取下载地址;
    QPointer<QPushButton> m_按钮_获取验证码;
    QPointer<QLineEdit> m_编辑框_验证码;
    QPointer<QLineEdit> m_编辑框_下载地址;
};

}  // namespace murrel
