// murrel-standin: the stand-in service started by hand, so that a person can try a test build of
// murrel-dl against it on this machine.
#include "tests/support/standin_service.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr std::uint16_t kDefaultPort = 38117;

void printHelp(std::uint16_t port)
{
    std::cout <<
        "Usage: murrel-standin [--port PORT]\n"
        "\n"
        "Serves the file-hosting service's pages on http://127.0.0.1:PORT (default " << port << "):\n"
        "the share pages /file/<id>, the captcha pictures and the guest login. Every captcha it draws\n"
        "is printed here, so you can type it into the program.\n"
        "\n"
        "To try the whole program by hand:\n"
        "  1. build murrel-dl for the stand-in:\n"
        "       cmake -S . -B build/try -G Ninja -DMURREL_SERVICE_HOST=127.0.0.1:" << port << "\n"
        "       cmake --build build/try\n"
        "  2. start this server:   build/try/tests/support/murrel-standin --port " << port << "\n"
        "  3. start the program:   build/try/app/murrel-dl\n"
        "  4. paste http://127.0.0.1:" << port << "/file/23075823 into the link box, press\n"
        "     \"\xE8\x8E\xB7\xE5\x8F\x96\xE9\xAA\x8C\xE8\xAF\x81\xE7\xA0\x81\", type the code printed here and press "
        "\"\xE8\x8E\xB7\xE5\x8F\x96\xE4\xB8\x8B\xE8\xBD\xBD\xE5\x9C\xB0\xE5\x9D\x80\".\n"  // 获取验证码, 获取下载地址
        "\n"
        "Any number after /file/ is a file. A wrong code, or a login without the session cookie of the\n"
        "share page, gets a page without links. Ctrl+C stops the server.\n";
}

}  // namespace

int main(int argc, char** argv)
{
    std::uint16_t port = murrel::test::StandInService::programPort().value_or(kDefaultPort);
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            printHelp(port);
            return 0;
        }
        if (argument == "--port" && i + 1 < argc) {
            const long value = std::strtol(argv[++i], nullptr, 10);
            if (value <= 0 || value > 65535) {
                std::cerr << "murrel-standin: not a port: " << argv[i] << "\n";
                return 2;
            }
            port = static_cast<std::uint16_t>(value);
            continue;
        }
        std::cerr << "murrel-standin: unknown argument " << argument << " (try --help)\n";
        return 2;
    }

    // Blocked before the server's threads start, so that they inherit the mask and only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        murrel::test::StandInService service(port);
        service.onCaptchaDrawn([](const std::string& fileId, const std::string& code) {
            std::cout << "captcha for file " << fileId << ": " << code << std::endl;
        });
        std::cout << "murrel-standin listening on http://" << service.hostPort() << "\n"
                  << "share link: " << service.shareLink("23075823") << std::endl;
        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::cout << "murrel-standin stopped" << std::endl;
    } catch (const std::system_error& error) {
        std::cerr << "murrel-standin: cannot listen on 127.0.0.1:" << port << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
