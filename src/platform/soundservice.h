#pragma once

#include <QString>

// Plays sound files the way PlaySound without flags did: synchronously, the
// call returns when the sound has ended, so pieces played one after another
// follow each other. Any format libsndfile reads is played (converted to
// 16-bit samples) on the ALSA device "default".
//
// A stuck device cannot hang the caller: playback gives up a few seconds
// after the sound's own length. Nothing here throws; a failure is returned.
//
// With KORVEL_SOUND_LOG=<file> in the environment nothing is played: the full
// path of every file that exists and decodes is appended to that file as one
// line, and the call returns at once.
class SoundService {
public:
    enum Result {
        Played,
        FileNotFound, // no such file (or not a regular file, or its volume does not answer)
        NotDecodable, // exists, but is no sound file libsndfile can read
        NoDevice, // the audio device cannot be opened or set up
        DeviceFailed, // the device broke off while playing
        TimedOut, // the device did not finish in time
    };

    static Result play(const QString& path);

    // The ALSA device name; "default" unless changed (tests use "null").
    static QString device();
    static void setDevice(const QString& alsaName);
};
