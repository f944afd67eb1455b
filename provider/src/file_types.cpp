#include "provider/src/file_types.h"

#include <cctype>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

enum class Kind { Audio, Video, CdTrack };

struct FileType {
    const char* description;
    std::vector<const char*> extensions;
    const char* demuxer;
    Kind kind;
};

const std::vector<FileType>& FileTypes() {
    static const std::vector<FileType> types = {
        {"MPEG Layer-3 audio", {"mp3"}, "mp3", Kind::Audio},
        {"Wave audio", {"wav"}, "wav", Kind::Audio},
        {"FLAC audio", {"flac"}, "flac", Kind::Audio},
        {"Ogg Vorbis audio", {"ogg", "oga"}, "ogg", Kind::Audio},
        {"Opus audio", {"opus"}, "ogg", Kind::Audio},
        {"AAC audio", {"aac"}, "aac", Kind::Audio},
        {"MPEG-4 audio", {"m4a", "m4b", "m4r"}, "mov", Kind::Audio},
        {"Windows Media audio", {"wma"}, "asf", Kind::Audio},
        {"AIFF audio", {"aif", "aiff", "aifc"}, "aiff", Kind::Audio},
        {"MPEG Layer-2 audio", {"mp2", "mpa"}, "mp3", Kind::Audio},
        {"AC-3 audio", {"ac3"}, "ac3", Kind::Audio},
        {"E-AC-3 audio", {"eac3"}, "eac3", Kind::Audio},
        {"DTS audio", {"dts"}, "dts", Kind::Audio},
        {"WavPack audio", {"wv"}, "wv", Kind::Audio},
        {"Monkey's Audio", {"ape"}, "ape", Kind::Audio},
        {"Musepack audio", {"mpc"}, "mpc", Kind::Audio},
        {"True Audio", {"tta"}, "tta", Kind::Audio},
        {"AMR audio", {"amr"}, "amr", Kind::Audio},
        {"Sun audio", {"au", "snd"}, "au", Kind::Audio},
        {"Core Audio", {"caf"}, "caf", Kind::Audio},
        {"Wave64 audio", {"w64"}, "w64", Kind::Audio},
        {"Matroska audio", {"mka"}, "matroska", Kind::Audio},
        {"Creative Voice", {"voc"}, "voc", Kind::Audio},
        {"RealAudio", {"ra"}, "rm", Kind::Audio},
        {"MPEG-4 video", {"mp4", "m4v"}, "mov", Kind::Video},
        {"QuickTime movie", {"mov"}, "mov", Kind::Video},
        {"3GPP multimedia", {"3gp", "3g2"}, "mov", Kind::Video},
        {"Matroska video", {"mkv"}, "matroska", Kind::Video},
        {"WebM video", {"webm"}, "matroska", Kind::Video},
        {"AVI video", {"avi"}, "avi", Kind::Video},
        {"Windows Media video", {"wmv", "asf"}, "asf", Kind::Video},
        {"Flash video", {"flv"}, "flv", Kind::Video},
        {"MPEG video", {"mpg", "mpeg", "vob"}, "mpeg", Kind::Video},
        {"MPEG transport stream", {"ts", "m2ts"}, "mpegts", Kind::Video},
        {"CD Audio Track", {"cda"}, nullptr, Kind::CdTrack},
    };
    return types;
}

// "*.a *.b" for the type's extensions, empty when this FFmpeg can not demux it.
std::string Patterns(const FileType& type) {
    if (type.kind == Kind::CdTrack || !av_find_input_format(type.demuxer)) return {};
    std::string patterns;
    for (const char* extension : type.extensions) {
        if (!patterns.empty()) patterns += ' ';
        patterns += std::string("*.") + extension;
    }
    return patterns;
}

void Append(std::string& list, const std::string& text, const char* separator) {
    if (text.empty()) return;
    if (!list.empty()) list += separator;
    list += text;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string SupportedFilter() {
    std::string all;
    std::string audioTypes;
    std::string video;
    for (const FileType& type : FileTypes()) {
        const std::string patterns = Patterns(type);
        Append(all, patterns, " ");
        if (type.kind == Kind::Audio && !patterns.empty())
            audioTypes += ";;" + std::string(type.description) + " (" + patterns + ")";
        if (type.kind == Kind::Video) Append(video, patterns, " ");
    }
    std::string filter = "Audio files (" + all + ")" + audioTypes;
    if (!video.empty()) filter += ";;Video files (" + video + ")";
    return filter;
}

std::string FormatDescription(const std::string& extensionWithDot) {
    if (extensionWithDot.size() < 2 || extensionWithDot[0] != '.') return {};
    const std::string extension = Lower(extensionWithDot.substr(1));
    for (const FileType& type : FileTypes())
        for (const char* known : type.extensions)
            if (extension == known) return type.description;
    return {};
}

std::string FitFilter(const std::string& filter, size_t capacity) {
    if (capacity == 0) return {};
    std::string result = filter;
    while (result.size() + 1 > capacity) {
        const size_t cut = result.rfind(";;");
        if (cut == std::string::npos) return {};
        result.resize(cut);
    }
    return result;
}
