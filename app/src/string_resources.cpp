// The program's string resources.
#include "app/resources.h"

#include <array>
#include <utility>

namespace {

constexpr char kAboutGeneral[] =
    "<p style=\"font-size:17px; font-weight:600; margin-bottom:2px\">Morvane %1</p>"
    "<p style=\"margin-top:0\">Built on %2</p>"
    "<p>Morvane makes ringtones from your music: trim a song, mix in a second track or your own "
    "voice, add effects, and save the result as MP3 or AAC or send it to your phone.</p>"
    "<p>Copyright &copy; Zo Ruvo.<br>News, help and more tools: "
    "<a href=\"%3\" style=\"white-space:nowrap\">%4</a></p>";

constexpr std::array<std::pair<int, const char*>, 23> kStrings{{
    {IDS_CANT_CREATE_TEMP_FILE, "Can't create temp file."},
    {IDS_CANT_CAPTURE_INPUT, "Can't capture input device."},
    {IDS_CANT_START_PLAYING, "Can't start playing."},
    {IDS_CANT_CREATE_FILE, "Can't create file"},
    {IDS_ABOUT_GENERAL, kAboutGeneral},
    {IDS_LOOP, "Loop"},
    {IDS_FADE_IN, "Fade In"},
    {IDS_FADE_OUT, "Fade Out"},
    {IDS_EFFECT1, "Effect 1"},
    {IDS_EFFECT2, "Effect 2"},
    {IDS_EFFECT3, "Effect 3"},
    {IDS_FORCE_OVERWRITE, "Force overwrite duplicate file"},
    {IDS_NORMALIZE, "Normalize"},
    {IDS_IMPORT_RECORD, "Import this record to make ringtone"},
    {IDS_SAVE, "Save"},
    {IDS_CANCEL, "Cancel"},
    {IDS_SELECT, "Select"},
    {IDS_SEARCH_READY, "Search ready"},
    {IDS_OK, "OK"},
    {IDS_DONT_SHOW_AGAIN, "Don't show this message again"},
    {IDS_YES, "Yes"},
    {IDS_NO, "No"},
    {IDS_COPY, "Copy"},
}};

}  // namespace

QString LoadString(int id) {
    for (const auto& [stringId, text] : kStrings)
        if (stringId == id) return QString::fromUtf8(text);
    return {};
}
