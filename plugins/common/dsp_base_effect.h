// Base of the plug-ins' effect stages. A stage optionally has a source stage; pulling a
// record first pulls the source into it, then changes the record in place. A stage record
// is a _SOUNDDATAEX_ whose capacity is the number of frames asked for.
#pragma once

#include <cstdint>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

class CBaseEffect {
public:
    CBaseEffect() = default;
    virtual ~CBaseEffect() = default;
    CBaseEffect(const CBaseEffect&) = delete;
    CBaseEffect& operator=(const CBaseEffect&) = delete;

    // Takes the sample rate and channel count of the format.
    virtual void Open(const WAVEFORMATEX& format);
    // Fills record from the source (when there is one), then processes record.capacity
    // frames of it in place. False when the source failed; nothing is processed then.
    virtual bool Pull(_SOUNDDATAEX_& record);
    void SetSource(CBaseEffect* source) { m_source = source; }

    uint32_t SampleRate() const { return m_sampleRate; }
    uint32_t ChannelCount() const { return m_channelCount; }

protected:
    // Changes record.capacity frames of every channel of record in place. A stage that only
    // routes blocks leaves them as they are.
    virtual void Process(_SOUNDDATAEX_& record);

    CBaseEffect* m_source = nullptr;
    uint32_t m_sampleRate = kWorkingRate;
    uint32_t m_channelCount = 0;
};
