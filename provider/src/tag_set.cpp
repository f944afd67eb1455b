#include "provider/src/tag_set.h"

#include <cctype>

#include "provider/src/media_input.h"
#include "provider/src/utf8_text.h"

TagSet::TagSet(const std::vector<std::string>& entries) {
    for (size_t i = 0; i < entries.size() && i < entries_.size(); ++i) entries_[i] = entries[i];
}

namespace {

// The first of the keys found in the file's metadata or, failing that, in a stream's
// (Ogg and Opus keep their comments with the stream).
std::string Lookup(const AVFormatContext& format, std::initializer_list<const char*> keys) {
    for (const char* key : keys)
        if (const AVDictionaryEntry* e = av_dict_get(format.metadata, key, nullptr, 0); e && *e->value)
            return ValidUtf8(e->value);
    for (unsigned i = 0; i < format.nb_streams; ++i)
        for (const char* key : keys)
            if (const AVDictionaryEntry* e = av_dict_get(format.streams[i]->metadata, key, nullptr, 0); e && *e->value)
                return ValidUtf8(e->value);
    return {};
}

// "2021-05-03" gives "2021"; anything else is kept.
std::string YearOf(const std::string& date) {
    if (date.size() > 4 && std::isdigit(static_cast<unsigned char>(date[0])) &&
        std::isdigit(static_cast<unsigned char>(date[1])) && std::isdigit(static_cast<unsigned char>(date[2])) &&
        std::isdigit(static_cast<unsigned char>(date[3])) && !std::isdigit(static_cast<unsigned char>(date[4])))
        return date.substr(0, 4);
    return date;
}

// "3/12" gives "3".
std::string TrackNumberOf(const std::string& track) { return track.substr(0, track.find('/')); }

}  // namespace

std::shared_ptr<TagSet> TagSet::FromFile(const std::string& path) {
    InputLocation location;
    location.path = path;
    auto input = MediaInput::Open(location, false);
    if (!input) return nullptr;
    const AVFormatContext& format = *input->format();
    std::vector<std::string> entries(QoTagTrack + 1);
    entries[QoTagTitle] = Lookup(format, {"title"});
    entries[QoTagArtist] = Lookup(format, {"artist", "album_artist", "author", "performer"});
    entries[QoTagAlbum] = Lookup(format, {"album"});
    entries[QoTagYear] = YearOf(Lookup(format, {"date", "year"}));
    entries[QoTagGenre] = Lookup(format, {"genre"});
    entries[QoTagComment] = Lookup(format, {"comment", "description"});
    entries[QoTagTrack] = TrackNumberOf(Lookup(format, {"track", "tracknumber"}));
    return std::make_shared<TagSet>(entries);
}

void TagSet::Fill(QoTagInfo& info) const {
    for (int i = 0; i < kEntries; ++i) {
        const std::string& text = entries_[i];
        if (!info.text[i]) {
            info.capacity[i] = text.empty() ? -1 : static_cast<int32_t>(text.size() + 1);
        } else if (info.capacity[i] > 0) {
            CopyTruncated(text, info.text[i], static_cast<size_t>(info.capacity[i]));
        }
    }
}
