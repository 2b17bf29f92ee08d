// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioDevice.h"

#include <QIODevice>

#include <cstdint>
#include <memory>
#include <vector>

// A sound output the test drives by hand: nothing is consumed until the test pulls, and a
// suspended device pulls nothing, as a real one would. The test keeps the shared state; the engine
// owns the device.
class FakeAudioDevice : public speech::AudioDevice {
public:
    struct State {
        std::vector<std::int16_t> played;
        QIODevice *source = nullptr;
        int sampleRate = 0;
        int starts = 0;
        bool suspended = false;
        bool lastPullEmpty = false;
        bool refuseStart = false;

        // Pulls up to `bytes` from the engine as a device would; returns the samples taken.
        std::size_t Pull(qint64 bytes = 3200)
        {
            if (!source || suspended)
                return 0;
            std::vector<char> data(static_cast<std::size_t>(bytes));
            const qint64 got = source->read(data.data(), bytes);
            lastPullEmpty = got <= 0;
            if (got <= 0)
                return 0;
            const auto *samples = reinterpret_cast<const std::int16_t *>(data.data());
            played.insert(played.end(), samples, samples + got / 2);
            return static_cast<std::size_t>(got / 2);
        }
    };

    explicit FakeAudioDevice(std::shared_ptr<State> state) : state_(std::move(state)) {}

    bool Start(QIODevice *source, int sampleRate, QString *error) override
    {
        if (state_->refuseStart) {
            *error = QStringLiteral("test device refuses to start");
            return false;
        }
        state_->source = source;
        state_->sampleRate = sampleRate;
        state_->suspended = false;
        state_->lastPullEmpty = false;
        ++state_->starts;
        return true;
    }
    void Suspend() override { state_->suspended = true; }
    void Resume() override { state_->suspended = false; }
    void Stop() override { state_->source = nullptr; }
    bool Idle() const override { return state_->source && !state_->suspended && state_->lastPullEmpty; }
    bool Failed(QString *) const override { return false; }

    static speech::AudioDeviceFactory Factory(const std::shared_ptr<State> &state)
    {
        return [state] { return std::make_unique<FakeAudioDevice>(state); };
    }

private:
    std::shared_ptr<State> state_;
};
