#include "provider/src/cd_disc.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <mutex>

#include <cdio/cdtext.h>
#include <cdio/logging.h>

#include "contracts/provider_api.h"
#include "provider/src/utf8_text.h"

namespace {

void QuietLog(cdio_log_level_t, const char*) {}

// libcdio reports problems on stderr by default; the provider reports them by its results.
void SilenceCdioOnce() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(&QuietLog); });
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

}  // namespace

std::string CdTrackName(int track) {
    char name[32];
    std::snprintf(name, sizeof name, "Track %02d.cda", track);
    return name;
}

std::optional<CdTrackPath> ParseCdTrackPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return std::nullopt;
    const std::string name = path.substr(slash + 1);
    // Exactly "Track NN.cda".
    if (name.size() != 12 || name.compare(0, 6, "Track ") != 0 || name.compare(8, 4, ".cda") != 0 ||
        !std::isdigit(static_cast<unsigned char>(name[6])) || !std::isdigit(static_cast<unsigned char>(name[7])))
        return std::nullopt;
    CdTrackPath result;
    result.device = path.substr(0, slash);
    result.track = (name[6] - '0') * 10 + (name[7] - '0');
    struct stat st {};
    if (result.track < 1 || ::stat(result.device.c_str(), &st) != 0) return std::nullopt;
    if (!S_ISBLK(st.st_mode) && !S_ISREG(st.st_mode)) return std::nullopt;
    return result;
}

bool IsCdDrive(const std::string& device) {
    struct stat st {};
    return ::stat(device.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

CdIoPtr OpenCd(const std::string& device) {
    SilenceCdioOnce();
    if (IsCdDrive(device)) return CdIoPtr(cdio_open(device.c_str(), DRIVER_DEVICE));
    if (EndsWithNoCase(device, ".cue")) return CdIoPtr(cdio_open(device.c_str(), DRIVER_BINCUE));
    if (EndsWithNoCase(device, ".toc")) return CdIoPtr(cdio_open(device.c_str(), DRIVER_CDRDAO));
    if (EndsWithNoCase(device, ".nrg")) return CdIoPtr(cdio_open(device.c_str(), DRIVER_NRG));
    if (EndsWithNoCase(device, ".bin")) {
        char* cue = cdio_is_binfile(device.c_str());
        if (!cue) return nullptr;
        CdIoPtr cdio(cdio_open(cue, DRIVER_BINCUE));
        cdio_free(cue);
        return cdio;
    }
    return nullptr;
}

std::vector<int> CdAudioTracks(CdIo_t* cdio) {
    std::vector<int> tracks;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK) return tracks;
    for (int track = first; track < first + count && track <= 99; ++track)
        if (cdio_get_track_format(cdio, static_cast<track_t>(track)) == TRACK_FORMAT_AUDIO) tracks.push_back(track);
    return tracks;
}

bool CdTrackSectors(CdIo_t* cdio, int track, int32_t* firstSector, uint32_t* sectorCount) {
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK) return false;
    if (track < first || track >= first + count) return false;
    const auto t = static_cast<track_t>(track);
    if (cdio_get_track_format(cdio, t) != TRACK_FORMAT_AUDIO) return false;
    const lsn_t start = cdio_get_track_lsn(cdio, t);
    const lsn_t last = cdio_get_track_last_lsn(cdio, t);
    if (start == CDIO_INVALID_LSN || last == CDIO_INVALID_LSN || last < start) return false;
    *firstSector = start;
    *sectorCount = static_cast<uint32_t>(last - start + 1);
    return true;
}

std::vector<std::string> CdDrives() {
    SilenceCdioOnce();
    std::vector<std::string> drives;
    char** list = cdio_get_devices(DRIVER_DEVICE);
    if (!list) return drives;
    for (char** entry = list; *entry; ++entry) drives.emplace_back(*entry);
    cdio_free_device_list(list);
    return drives;
}

std::vector<std::string> CdTrackTags(CdIo_t* cdio, int track) {
    std::vector<std::string> tags(QoTagTrack + 1);
    tags[QoTagTrack] = std::to_string(track);
    cdtext_t* text = cdio_get_cdtext(cdio);
    if (!text) return tags;
    auto field = [&](cdtext_field_t key, int which) -> std::string {
        const char* value = cdtext_get_const(text, key, static_cast<track_t>(which));
        return value ? ValidUtf8(value) : std::string();
    };
    tags[QoTagTitle] = field(CDTEXT_FIELD_TITLE, track);
    tags[QoTagArtist] = field(CDTEXT_FIELD_PERFORMER, track);
    if (tags[QoTagArtist].empty()) tags[QoTagArtist] = field(CDTEXT_FIELD_PERFORMER, 0);
    tags[QoTagAlbum] = field(CDTEXT_FIELD_TITLE, 0);
    tags[QoTagGenre] = field(CDTEXT_FIELD_GENRE, 0);
    tags[QoTagComment] = field(CDTEXT_FIELD_MESSAGE, track);
    if (tags[QoTagComment].empty()) tags[QoTagComment] = field(CDTEXT_FIELD_MESSAGE, 0);
    return tags;
}
