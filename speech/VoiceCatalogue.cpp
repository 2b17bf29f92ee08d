// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceCatalogue.h"

#include "speech/EspeakBackend.h"
#include "speech/FliteBackend.h"
#include "speech/SpeechStrings.h"

#include <mutex>
#include <set>

namespace speech {

VoiceCatalogue::VoiceCatalogue(std::shared_ptr<FliteBackend> flite, std::shared_ptr<EspeakBackend> espeak)
{
    std::vector<BackendVoice> fliteVoices = flite ? flite->Voices() : std::vector<BackendVoice>{};
    std::vector<BackendVoice> espeakVoices =
        (espeak && espeak->Available()) ? espeak->Voices() : std::vector<BackendVoice>{};

    struct StudioVoice {
        QString speaker;
        const char *fliteId;
        const char *espeakVariant;
        Gender gender;
    };
    const StudioVoice studio[] = {
        {SpeechStrings::FemaleSpeaker, "slt", "f3", Gender::Female},
        {SpeechStrings::FirstMaleSpeaker, "awb", "m3", Gender::Male},
        {SpeechStrings::SecondMaleSpeaker, "kal16", "m7", Gender::Male},
    };
    // Some backends pad their voice names ("Cherokee "); a listed name is what users type back.
    for (auto *voices : {&fliteVoices, &espeakVoices}) {
        for (BackendVoice &v : *voices)
            v.name = v.name.trimmed();
    }
    std::set<QString> usedFlite;
    for (const StudioVoice &s : studio) {
        bool placed = false;
        for (const BackendVoice &v : fliteVoices) {
            if (v.id == QLatin1String(s.fliteId)) {
                modes_.push_back({s.speaker, v, flite});
                usedFlite.insert(v.id);
                placed = true;
                break;
            }
        }
        if (placed || !espeak || !espeak->Available())
            continue;
        for (const char *language : {"en-us", "en", "en-gb"}) {
            if (auto variant = espeak->Variant(QLatin1String(language), QLatin1String(s.espeakVariant), s.gender)) {
                modes_.push_back({s.speaker, *variant, espeak});
                break;
            }
        }
    }
    for (const BackendVoice &v : fliteVoices) {
        if (!usedFlite.count(v.id))
            modes_.push_back({v.name, v, flite});
    }
    for (const BackendVoice &v : espeakVoices)
        modes_.push_back({v.name, v, espeak});
}

std::shared_ptr<const VoiceCatalogue> VoiceCatalogue::Installed()
{
    static std::mutex mutex;
    static std::shared_ptr<const VoiceCatalogue> catalogue;
    std::lock_guard lock(mutex);
    if (!catalogue)
        catalogue = std::make_shared<VoiceCatalogue>(std::make_shared<FliteBackend>(), std::make_shared<EspeakBackend>());
    return catalogue;
}

const VoiceMode *VoiceCatalogue::Mode(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return &modes_[static_cast<std::size_t>(index - 1)];
}

int VoiceCatalogue::Find(const QString &speaker) const
{
    for (int i = 0; i < Count(); ++i) {
        if (modes_[static_cast<std::size_t>(i)].speaker == speaker)
            return i + 1;
    }
    return 0;
}

} // namespace speech
