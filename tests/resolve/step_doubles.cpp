// The steps' test doubles and fixture.
#include "step_doubles.h"

#include "resolve/steps.h"
#include "web/web_init.h"

namespace murrel::test {
namespace {

// libcurl is set up once, before any test starts a thread; every worker has ended before exit.
class WebEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { Web_Init(); }
    void TearDown() override { EXPECT_TRUE(Web_Shutdown()); }
};

[[maybe_unused]] ::testing::Environment* const g_web = ::testing::AddGlobalTestEnvironment(new WebEnvironment);

}  // namespace

Text RecordingWindow::readText(Control box)
{
    record("read", box, {});
    return text(box);
}

void RecordingWindow::writeText(Control box, const Text& text)
{
    m_texts[box] = text;
    record("write", box, text.str());
}

void RecordingWindow::setEnabled(Control button, bool enabled)
{
    m_enabled[button] = enabled;
    record("enable", button, enabled ? "1" : "0");
}

void RecordingWindow::setFocus(Control control)
{
    record("focus", control, {});
}

void RecordingWindow::setPicture(Control pictureBox, const Bytes& encodedImage)
{
    m_picture = encodedImage;
    record("picture", pictureBox, encodedImage.str());
}

Text RecordingWindow::text(Control box) const
{
    const auto found = m_texts.find(box);
    return found == m_texts.end() ? Text() : found->second;
}

bool RecordingWindow::enabled(Control button) const
{
    const auto found = m_enabled.find(button);
    return found != m_enabled.end() && found->second;
}

std::vector<WindowCall> RecordingWindow::calls(const std::string& what) const
{
    std::vector<WindowCall> kind;
    for (const WindowCall& call : m_calls) {
        if (call.what == what) {
            kind.push_back(call);
        }
    }
    return kind;
}

void RecordingWindow::record(std::string what, Control control, std::string value)
{
    m_calls.push_back({std::move(what), control, std::move(value), requestCounter ? requestCounter() : 0});
}

void StepTest::SetUp()
{
    const std::optional<std::uint16_t> port = StandInService::programPort();
    if (!port) {
        GTEST_SKIP() << "the program is not built for the stand-in: configure with "
                        "-DMURREL_SERVICE_HOST=127.0.0.1:<port>";
    }
    m_service = std::make_unique<StandInService>(*port);
    window.requestCounter = [this] { return m_service->server().requestCount(); };
    installWindowSystem(&desktop);
}

void StepTest::TearDown()
{
    installWindowSystem(nullptr);
    window.requestCounter = nullptr;
    m_service.reset();
}

void StepTest::captchaStepAndTypeCode(const std::string& fileId)
{
    pasteLink(service().shareLink(fileId));
    Resolve_CaptchaStep(values, window);
    window.type(Control::编辑框_验证码, Text(service().lastCaptchaCode()));
}

std::vector<RecordedRequest> StepTest::requestsTo(const std::string& path) const
{
    std::vector<RecordedRequest> matching;
    for (RecordedRequest& request : m_service->server().requests()) {
        if (request.path == path) {
            matching.push_back(std::move(request));
        }
    }
    return matching;
}

}  // namespace murrel::test
