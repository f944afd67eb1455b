// The application object.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

#include "app/program.h"
#include "effecttree/effect_tree.h"
#include "engine/player.h"
#include "engine/recorder.h"
#include "engine/render_chain.h"

// The application object: owns what lives for the whole run (effect tree, volume stage,
// player, microphone), loads the skin, runs the main window modally and starts a fresh
// process of the program when the window ended with "create a new ringtone" (4).
// Everything here belongs to the user-interface thread.
class CTessalyApp {
public:
    static constexpr int kResultNewProject = 4;

    CTessalyApp();
    ~CTessalyApp();
    CTessalyApp(const CTessalyApp&) = delete;
    CTessalyApp& operator=(const CTessalyApp&) = delete;

    // The start-up routine: skin, message box, main window. Shows "Can't load skin " and
    // runs no window when the selected skin cannot be loaded. Always false: the process
    // ends after it.
    bool InitInstance();
    // The end of the run: starts the program anew, without files, when a new project was
    // asked for.
    // Returns the process's exit code: 1 when the skin could not be loaded or laid out, or
    // the new process could not be started; else 0.
    int ExitInstance();

    // The files named on the command line (after the program), as absolute paths: relative
    // ones are taken from the working folder, file: addresses as their local files.
    static QStringList StartFilesFrom(const QStringList& arguments);
    // Files the main window opens into page 1 once it shows.
    void SetStartFiles(const QStringList& files) { m_startFiles = files; }
    const QStringList& StartFiles() const { return m_startFiles; }
    // Starts the program anew: (program file, arguments) → started. QProcess::startDetached
    // by default.
    using Relaunch = std::function<bool(const QString& program, const QStringList& arguments)>;
    void SetRelaunch(Relaunch relaunch) { m_relaunch = std::move(relaunch); }

    // Loads the effect plug-ins and builds the tree from the single-effects description,
    // attached to the volume stage; the first call only. False when the description could
    // not be loaded (the tree stays empty).
    bool BuildEffectTree();
    bool EffectTreeBuilt() const { return m_effectTreeBuilt; }

    CEffectTree& EffectTree() { return m_effectTree; }
    CVolumeEffect& Volume() { return m_volume; }
    XPlayer& Player() { return m_player; }
    XMicro& Micro() { return m_micro; }
    bool RestartRequested() const { return m_restart; }
    const std::string& Name() const { return m_name; }

    // Environment variable for automated start-up checks: when set, the main window closes
    // (result 1, without the exit question) as soon as its modal run starts, and a failed
    // start's message box closes by itself, so the exit code tells the result.
    static constexpr char kCloseAfterStartVariable[] = "MORVANE_CLOSE_AFTER_START";

private:
    CEffectTree m_effectTree;
    CVolumeEffect m_volume;
    CExtPlayerDX m_playerEngine;
    XPlayer m_player{m_playerEngine};
    CExtMicro m_microEngine;
    XMicro m_micro{m_microEngine};
    const std::string m_name = kApplicationName;
    bool m_restart = false;
    bool m_startFailed = false;
    bool m_effectTreeBuilt = false;
    bool m_effectTreeLoaded = false;
    QStringList m_startFiles;
    Relaunch m_relaunch;
};
