// The quick check of a chosen track file on real files: every reason, and the opening that
// shares it.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "engine/track.h"
#include "engine/track_probe.h"
#include "track_fixture.h"

namespace {

using TrackProbeTest = TrackFixture;

TEST_F(TrackProbeTest, EveryProblemIsFoundOnARealFile) {
    std::ofstream(inputs_ + "/letter.mp3") << "Dear friend, this is no song at all.\n";
    std::ofstream(inputs_ + "/empty.wav");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i 'sine=f=440:d=0.3' -af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' six.wav"));
    const std::string mono = Tone("fine.flac", 0.3, "-ac 1");
    const struct {
        std::string path;
        TrackFileProblem problem;
    } cases[] = {
        {inputs_ + "/letter.mp3", TrackFileProblem::NotAudio},
        {inputs_ + "/empty.wav", TrackFileProblem::Empty},
        {inputs_, TrackFileProblem::Folder},
        {inputs_ + "/six.wav", TrackFileProblem::TooManyChannels},
        {inputs_ + "/missing.wav", TrackFileProblem::Missing},
        {inputs_ + "/letter.mp3/inside.wav", TrackFileProblem::Missing},
        {"", TrackFileProblem::Missing},
        {"/dev/null", TrackFileProblem::NotAudio},
        {mono, TrackFileProblem::None},
    };
    for (const auto& c : cases) {
        const TrackProbe probe = ProbeTrackFile(c.path);
        EXPECT_EQ(probe.problem, c.problem) << c.path;
    }
    const TrackProbe fine = ProbeTrackFile(mono);
    EXPECT_EQ(fine.format.Format.nChannels, 1u);
    EXPECT_EQ(fine.format.Format.nSamplesPerSec, 44100u);
    EXPECT_NEAR(fine.length, 0.3 * 44100, 64);
}

// The check runs as this user; the superuser reads every file, so as root it runs in a child
// process that has become the unprivileged user "nobody".
bool ProbeSaysNoPermission(const std::string& path) {
    if (::geteuid() != 0) return ProbeTrackFile(path).problem == TrackFileProblem::NoPermission;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool unprivileged = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(unprivileged && ProbeTrackFile(path).problem == TrackFileProblem::NoPermission ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(TrackProbeTest, AFileThisUserMayNotReadHasNoPermission) {
    const std::string path = Tone("locked.wav", 0.2, "");
    // The folders are open to everyone: only the file itself is locked.
    ASSERT_EQ(::chmod(root_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(inputs_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_FALSE(ProbeSaysNoPermission(path));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    EXPECT_TRUE(ProbeSaysNoPermission(path));
}

TEST_F(TrackProbeTest, TheMessageKeepsTheOpeningsTextAndNamesFileAndReason) {
    EXPECT_EQ(TrackProbeMessage("/music/letter.mp3", TrackFileProblem::NotAudio, "letter"),
              "Error opening letter\nletter.mp3: not an audio file");
    EXPECT_EQ(TrackProbeMessage("/music/six.wav", TrackFileProblem::TooManyChannels, "Six"),
              "Multi-channel sound can not be added to a track\nsix.wav: more than two channels");
    EXPECT_EQ(TrackProbeMessage("/music/Albums/", TrackFileProblem::Folder, "Albums"),
              "Error opening Albums\nAlbums: is a folder");
    EXPECT_EQ(TrackProbeMessage("/a/b.wav", TrackFileProblem::Missing, "b"), "Error opening b\nb.wav: does not exist");
    EXPECT_EQ(TrackProbeMessage("/a/b.wav", TrackFileProblem::Empty, "b"), "Error opening b\nb.wav: empty file");
    EXPECT_EQ(TrackProbeMessage("/a/b.wav", TrackFileProblem::NoPermission, "b"),
              "Error opening b\nb.wav: no permission");
    EXPECT_EQ(TrackProbeMessage("/a/b.wav", TrackFileProblem::None, "b"), "");
    // Without a given name the track's own name: here the file name without extension.
    EXPECT_EQ(TrackProbeMessage("/a/old.take.wav", TrackFileProblem::Missing),
              "Error opening old.take\nold.take.wav: does not exist");
}

TEST_F(TrackProbeTest, OpeningATrackReportsTheSameReason) {
    std::ofstream(inputs_ + "/letter.mp3") << "Dear friend, this is no song at all.\n";
    TrackSlot slot;
    slot.SetPath(inputs_ + "/letter.mp3");
    EXPECT_FALSE(slot.Open(progress_));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error opening letter\nletter.mp3: not an audio file");
    EXPECT_TRUE(progress_.Records().empty());
    EXPECT_TRUE(TempFiles().empty());
}

}  // namespace
