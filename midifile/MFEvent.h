// One timed MIDI message: the status byte is always present in data.
#ifndef VENNOR_MFEVENT_H
#define VENNOR_MFEVENT_H

#include "Array.h"

class MFEvent {
  public:
    MFEvent();
    explicit MFEvent(int command);
    MFEvent(int command, int p1);
    MFEvent(int command, int p1, int p2);
    MFEvent(int eventTrack, int command, int p1, int p2);
    MFEvent(int eventTime, int eventTrack, int command, int p1, int p2);
    MFEvent(int eventTime, int eventTrack, const Array<unsigned char>& bytes);
    MFEvent(const MFEvent& other);
    MFEvent& operator=(const MFEvent& other);
    ~MFEvent();

    // Questions about the message bytes.
    int isNoteOn() const;
    int isNoteOff() const;
    int isMeta() const;
    int isTempo() const;
    int isTimbre() const;
    int getCommandNibble() const;
    int getChannelNibble() const;
    int getTempoMicro() const;
    int getTempoMicroseconds() const;
    double getTempoSeconds() const;
    double getTempoBPM() const;
    double getTempoTPS(int tpq) const;
    double getTempoSPT(int tpq) const;

    int time;
    int track;
    Array<unsigned char> data;
};

// A grow moves an event's bytes into the new slot instead of copying them
// when the copy would leave the slot with the same size and capacity.
void relocateElement(MFEvent& slot, MFEvent& old);

#endif
