// The export and save tests' fixture: exporting a range, choosing an output and saving it
// to a file beside the inputs, as the program saves to its destination.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>

#include "../render/chain_fixture.h"
#include "engine/saver.h"
#include "engine/temp_files.h"

class SaveFixture : public ChainFixture {
protected:
    // Exports [start, end) and adopts the file.
    void Export(int64_t start, int64_t end) {
        timeline_.SetMarkers(start, end);
        TempFile exported;
        ASSERT_TRUE(saver_.PrepareExport(timeline_, progress_, exported));
        ASSERT_TRUE(saver_.AdoptExport(std::move(exported)));
    }
    void Output(uint32_t tag, uint32_t channels, uint32_t kbps) {
        const auto& encoders = RingtoneSaver::Encoders();
        const auto index = static_cast<size_t>(std::distance(encoders.begin(), encoders.find(tag)));
        ASSERT_TRUE(saver_.SetOutput(index, channels, kbps));
    }
    // Saves and copies the encoded file to name in the input folder, as the program's
    // destination; returns its path.
    std::string SaveAs(const std::string& name) {
        EXPECT_TRUE(saver_.Save(progress_));
        const std::string path = inputs_ + "/" + name;
        std::filesystem::copy_file(saver_.EncodedPath(), path, std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    size_t SaveRuns() const {
        return static_cast<size_t>(std::count_if(progress_.Records().begin(), progress_.Records().end(),
                                                 [](const ProgressRecord& r) { return r.text == "Preparing file"; }));
    }
    RingtoneSaver saver_;
};

inline double Duration(const std::string& probe) {
    const size_t at = probe.find("duration=");
    return at == std::string::npos ? -1 : std::stod(probe.substr(at + 9));
}
