// The computer information text: system files, uname, SDL's audio devices and Qt's screens.
#include "app/computer_info.h"

#include <SDL.h>
#include <sys/utsname.h>

#include <QGuiApplication>
#include <QScreen>

#include <fstream>
#include <sstream>

#include "app/program.h"
#include "app/src/computer_info.h"
#include "platform/texts.h"

namespace compinfo {

namespace {

constexpr size_t kMaxSystemFileBytes = 1 << 20;

// /proc files report no size: read up to the limit.
std::string ReadSystemFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::string text;
    char buffer[4096];
    while (file && text.size() < kMaxSystemFileBytes) {
        file.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<size_t>(file.gcount()));
    }
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Splits "key<separator>value" lines; calls visit(key, value) with both trimmed.
template <class Visit>
void ForEachField(const std::string& text, char separator, Visit visit) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t at = line.find(separator);
        if (at != std::string::npos) visit(Trim(line.substr(0, at)), Trim(line.substr(at + 1)));
    }
}

std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

uint64_t KilobytesOf(const std::string& value) {
    uint64_t kilobytes = 0;
    for (char c : value) {
        if (c < '0' || c > '9') break;
        kilobytes = kilobytes * 10 + static_cast<uint64_t>(c - '0');
    }
    return kilobytes * 1024;
}

void AppendDevices(std::string& text, const char* title, const std::vector<std::string>& devices) {
    text += "    " + std::string(title) + ":";
    if (devices.empty()) text += " none found";
    text += "\n";
    for (const std::string& device : devices) text += "        " + device + "\n";
}

std::string ScreenLines() {
    std::string text;
    int number = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize size = screen->size();
        text += QStringLiteral("    %1. %2: %3 x %4, %5 dpi, scale %6, %7-bit colour, %8 Hz\n")
                    .arg(++number)
                    .arg(screen->name().isEmpty() ? QStringLiteral("screen") : screen->name())
                    .arg(size.width())
                    .arg(size.height())
                    .arg(qRound(screen->logicalDotsPerInch()))
                    .arg(screen->devicePixelRatio())
                    .arg(screen->depth())
                    .arg(qRound(screen->refreshRate()))
                    .toStdString();
    }
    if (number == 0) text += "    none found\n";
    return text;
}

}  // namespace

std::string OsReleaseName(const std::string& osRelease) {
    std::string pretty, name, version;
    ForEachField(osRelease, '=', [&](const std::string& key, const std::string& value) {
        if (key == "PRETTY_NAME")
            pretty = Unquote(value);
        else if (key == "NAME")
            name = Unquote(value);
        else if (key == "VERSION")
            version = Unquote(value);
    });
    if (!pretty.empty()) return pretty;
    return version.empty() ? name : name + " " + version;
}

Processor ParseCpuInfo(const std::string& cpuinfo) {
    Processor processor;
    ForEachField(cpuinfo, ':', [&](const std::string& key, const std::string& value) {
        if (key == "processor")
            ++processor.logicalCount;
        else if (processor.model.empty() && !value.empty() &&
                 (key == "model name" || key == "Model" || key == "Hardware" || key == "cpu model"))
            processor.model = value;
    });
    return processor;
}

Memory ParseMemInfo(const std::string& meminfo) {
    Memory memory;
    uint64_t free = 0;
    bool hasAvailable = false;
    ForEachField(meminfo, ':', [&](const std::string& key, const std::string& value) {
        if (key == "MemTotal")
            memory.totalBytes = KilobytesOf(value);
        else if (key == "MemFree")
            free = KilobytesOf(value);
        else if (key == "MemAvailable") {
            memory.availableBytes = KilobytesOf(value);
            hasAvailable = true;
        }
    });
    if (!hasAvailable) memory.availableBytes = free;
    return memory;
}

AudioDevices ListAudioDevices() {
    AudioDevices devices;
    // The subsystem is reference-counted by SDL: this leaves an open player or recorder alone.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return devices;
    if (const char* driver = SDL_GetCurrentAudioDriver()) devices.driver = driver;
    for (int capture = 0; capture <= 1; ++capture) {
        std::vector<std::string>& list = capture != 0 ? devices.inputs : devices.outputs;
        const int count = SDL_GetNumAudioDevices(capture);
        for (int i = 0; i < count; ++i)
            if (const char* name = SDL_GetAudioDeviceName(i, capture)) list.emplace_back(name);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return devices;
}

std::string SystemLines() {
    std::string text;
    const std::string os = OsReleaseName(ReadSystemFile("/etc/os-release"));
    text += "    Operating system: " + (os.empty() ? std::string("unknown") : os) + "\n";
    utsname system{};
    if (uname(&system) == 0) {
        text += std::string("    Kernel: ") + system.sysname + " " + system.release + " (" + system.machine + ")\n";
        text += std::string("    Computer name: ") + system.nodename + "\n";
    }
    return text;
}

std::string SystemDescription() {
    std::string text = "System\n" + SystemLines();

    const Processor processor = ParseCpuInfo(ReadSystemFile("/proc/cpuinfo"));
    text += "\nProcessor\n";
    text += "    Model: " + (processor.model.empty() ? std::string("unknown") : processor.model) + "\n";
    text += "    Logical processors: " + std::to_string(processor.logicalCount) + "\n";

    const Memory memory = ParseMemInfo(ReadSystemFile("/proc/meminfo"));
    text += "\nMemory\n";
    text += "    Installed: " + SizeText(memory.totalBytes) + "\n";
    text += "    Available: " + SizeText(memory.availableBytes) + "\n";

    const AudioDevices audio = ListAudioDevices();
    text += "\nSound\n";
    text += "    Audio system: " + (audio.driver.empty() ? std::string("not available") : audio.driver) + "\n";
    AppendDevices(text, "Output devices", audio.outputs);
    AppendDevices(text, "Input devices", audio.inputs);
    return text;
}

}  // namespace compinfo

QString GetCompInfo() {
    std::string text = std::string("Morvane ") + kProgramVersion + "\n\n" + compinfo::SystemDescription();
    text += "\nScreens\n" + compinfo::ScreenLines();
    QString info = QString::fromStdString(text);
    if (info.size() >= kCompInfoCapacity) {
        info.truncate(kCompInfoCapacity - 1);
        if (!info.isEmpty() && info.back().isHighSurrogate()) info.chop(1);
    }
    return info;
}
