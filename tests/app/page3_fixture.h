// The page-3 tests' fixture: a window on page 3 with a short tone, the lists and buttons by
// id, choosing rows as the user does, ffprobe of a saved file, and a target folder.
#pragma once

#include <QComboBox>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/control_tables.h"
#include "app/main_window.h"
#include "engine/saver.h"
#include "skin/buttons.h"
#include "skin/lists.h"
#include "tests/app/main_window_fixture.h"


inline constexpr uint32_t kMp3 = 0xBEEF1003;
inline constexpr uint32_t kAac = 0xBEEF3006;

class MainWindowPage3Test : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        target_ = root_ + "/ringtones";
        std::filesystem::create_directories(target_);
    }

    // Opens a 3-second tone on page 1 and goes on to page 3.
    void GoToPage3(CTessalyDlg& window) {
        const std::string tone = Tone("tone.wav", 3.0, "-c:a pcm_s16le");
        SetText(window, IDC_PAGE1_TRACK1_EDIT, QString::fromStdString(tone));
        window.OnContinue();
        window.OnContinue();
        ASSERT_EQ(window.Page(), 2) << (Shown().empty() ? "" : Shown().back().text);
    }

    // Chooses "<target_>/<name>" through the save dialog, recording what it was asked.
    void ChooseFile(CTessalyDlg& window, const std::string& name) {
        window.SetSaveFileDialog(
            [this, name](QWidget*, const QString&, const QString& filter, const QString& suffix, bool confirm) {
                asked_ = {filter, suffix, confirm};
                return QString::fromStdString(target_ + "/" + name);
            });
        window.ChooseComputerDestination();
    }

    static CSCComboBox* List(CTessalyDlg& window, int id) {
        return qobject_cast<CSCComboBox*>(window.Skin().GetControl(id));
    }
    static CSCButton* Button(CTessalyDlg& window, int id) {
        return qobject_cast<CSCButton*>(window.Skin().GetControl(id));
    }
    static bool SendEnabled(CTessalyDlg& window) { return window.Skin().GetControl(IDC_PAGE3_SEND)->isEnabled(); }

    // Chooses a row as the user does: the list notifies the window.
    static void Choose(CTessalyDlg& window, int id, int row) {
        QComboBox* combo = List(window, id)->Combo();
        combo->setCurrentIndex(row);
        emit combo->activated(row);
    }
    // The row of the format list that holds the encoder.
    static int FormatRow(CTessalyDlg& window, uint32_t tag) {
        const QString name = QString::fromStdString(RingtoneSaver::EncoderName(tag));
        CSCComboBox* list = List(window, IDC_PAGE3_FORMAT);
        for (int row = 0; row < list->GetCount(); ++row)
            if (list->GetLBText(row) == name) return row;
        return -1;
    }

    // One ffprobe entry of the file's audio stream ("stream=codec_name") or format.
    std::string Probe(const std::string& file, const std::string& entry) {
        const std::string command = "ffprobe -v error -select_streams a:0 -show_entries " + entry +
                                    " -of default=nw=1:nk=1 '" + file + "' 2>/dev/null";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        if (!pipe) return {};
        std::string text;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(target_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    struct Asked {
        QString filter;
        QString suffix;
        bool confirm = false;
    } asked_;
    std::string target_;
};
