// Doubles for the steps' tests: a window that records what the steps do to it, a window system that
// records message boxes, and the fixture that runs the steps against the stand-in service.
#pragma once

#include "msgbox/window_system.h"
#include "resolve/program_values.h"
#include "resolve/window_port.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/standin_service.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace murrel::test {

// One call the steps made on the window.
struct WindowCall
{
    std::string what;  // "write", "read", "focus", "enable", "picture"
    Control control;
    std::string value;                 // the text written, the picture's bytes, "1"/"0" for enable
    std::size_t requestsSoFar = 0;     // requests the stand-in had received at that moment
};

class RecordingWindow : public WindowPort
{
public:
    Text readText(Control box) override;
    void writeText(Control box, const Text& text) override;
    void setEnabled(Control button, bool enabled) override;
    void setFocus(Control control) override;
    void setPicture(Control pictureBox, const Bytes& encodedImage) override;

    // Sets a box's content as a user would type it (not recorded as a call).
    void type(Control box, const Text& text) { m_texts[box] = text; }
    [[nodiscard]] Text text(Control box) const;
    [[nodiscard]] bool enabled(Control button) const;
    [[nodiscard]] const Bytes& picture() const { return m_picture; }
    [[nodiscard]] const std::vector<WindowCall>& calls() const { return m_calls; }
    // Calls of one kind, in order.
    [[nodiscard]] std::vector<WindowCall> calls(const std::string& what) const;

    // Gives every call the stand-in's request count at that moment.
    std::function<std::size_t()> requestCounter;

private:
    void record(std::string what, Control control, std::string value);

    std::map<Control, Text> m_texts;
    std::map<Control, bool> m_enabled;
    Bytes m_picture;
    std::vector<WindowCall> m_calls;
};

// "验证码输入有误，请重新输入！" and "信息：".
inline const Text kWrongCaptchaMessage(
    "\xD1\xE9\xD6\xA4\xC2\xEB\xCA\xE4\xC8\xEB\xD3\xD0\xCE\xF3\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB\xA3\xA1");
inline const Text kInformationCaption("\xD0\xC5\xCF\xA2\xA3\xBA");

// The steps against the stand-in service on the port this build's program reaches. Skips when the
// build does not point the program at the stand-in.
class StepTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    StandInService& service() { return *m_service; }
    // The share link typed into the link box.
    void pasteLink(const std::string& link) { window.type(Control::编辑框_下载地址, Text(link)); }
    // Runs the captcha step for the file and types the code the stand-in drew.
    void captchaStepAndTypeCode(const std::string& fileId);
    [[nodiscard]] std::vector<RecordedRequest> requestsTo(const std::string& path) const;

    ProgramValues values;
    RecordingWindow window;
    MessageBoxRecorder desktop;

private:
    std::unique_ptr<StandInService> m_service;
};

}  // namespace murrel::test
