// A score in memory: a table of tracks, each a list of timed events, with the
// timing resolution and the time and track states. Reading and writing bytes
// live in MidiFileRead.cpp and MidiFileWrite.cpp; restructuring in
// MidiFileTracks.cpp; the tempo map in MidiFileTempo.cpp; event questions and
// the text dump in MidiFileQuery.cpp.
#ifndef VENNOR_MIDIFILE_H
#define VENNOR_MIDIFILE_H

#include <cstdint>
#include <ostream>

#include "Array.h"
#include "FileIO.h"
#include "MFEvent.h"
#include "SigCollection.h"

// One entry of the tempo map: an event time and its seconds from tick 0.
struct _TickTime {
    int tick = 0;
    double seconds = 0.0;
};

// Orders two MFEvent objects the way tracks are sorted (qsort form).
int eventcompare(const void* a, const void* b);

class MidiFile {
  public:
    MidiFile();
    explicit MidiFile(const char* path);
    ~MidiFile();
    MidiFile(const MidiFile&) = delete;
    MidiFile& operator=(const MidiFile&) = delete;

    // Reading and writing Standard MIDI Files.
    int read(const char* path);
    int write(const char* path);
    int write(std::ostream& out);
    void setFilename(const char* path);
    const char* getFilename() const;

    // Tracks and events.
    void erase();
    void clear();
    int getTrackCount() const;
    int getNumTracks() const;
    int getNumEvents(int track) const;
    // Room in that track's list before the next append regrows it.
    int getEventCapacity(int track) const;
    MFEvent& getEvent(int track, int index);
    int getTrack(int track, int index);
    int getTicksPerQuarterNote() const;
    void setTicksPerQuarterNote(int ticks);
    int getTimeState() const;
    int getTrackState() const;
    int addTrack();
    int addTrack(int count);
    int addEvent(int track, int time, const Array<unsigned char>& bytes);
    int addEvent(const MFEvent& event);
    int addMetaEvent(int track, int time, int type, const Array<unsigned char>& payload);
    int addMetaEvent(int track, int time, int type, const char* text);
    static int makeVLV(unsigned char* buffer, int number);
    void absoluteTime();
    void deltaTime();
    void sortTracks();
    void sortTrack(SigCollection<MFEvent>& list);

    // Restructuring.
    void joinTracks();
    void splitTracks();
    void mergeTracks(int first, int second);
    void deleteTrack(int track);
    void allocateEvents(int track, int count);
    int getTrackCountAsType1();
    int addPitchBend(int track, int time, int channel, double amount);
    void setMillisecondDelta();

    // Tempo map and time in seconds.
    void buildTimeMap();
    void doTimeInSecondsAnalysis();
    double getTimeInSeconds(int tickvalue);
    double getTimeInSeconds(int track, int index);
    int getAbsoluteTickTime(double seconds);
    int linearTickInterpolationAtSecond(double seconds);
    static int ticksearch(const void* a, const void* b);
    static int secondsearch(const void* a, const void* b);

    // Event questions, applied to getEvent(track, index).
    int isNoteOn(int track, int index);
    int isNoteOff(int track, int index);
    int isMeta(int track, int index);
    int isTempo(int track, int index);
    int isTimbre(int track, int index);
    int getCommandNibble(int track, int index);
    int getChannelNibble(int track, int index);
    int getTempoMicro(int track, int index);
    int getTempoMicroseconds(int track, int index);
    double getTempoSeconds(int track, int index);
    double getTempoBPM(int track, int index);
    double getTempoTPS(int track, int index);
    double getTempoSPT(int track, int index);

    // Byte-level helpers of the reader and writer; they use no state of the score.
    static int64_t extractVlvTime(FileIO& in);
    static void extractMidiData(FileIO& in, Array<unsigned char>& data,
                                unsigned char& runningCommand);
    static int64_t unpackVLV(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4,
                             unsigned char b5);
    static void writeVLValue(long value, Array<unsigned char>& out);

    friend std::ostream& operator<<(std::ostream& out, MidiFile& score);

  private:
    SigCollection<SigCollection<MFEvent>*> events;
    int ticksPerQuarterNote = 48;
    int trackState = 0;
    int timeState = 0;
    SigCollection<char> filename;
    int timeMapValid = 0;
    SigCollection<_TickTime> timeMap;

    // A fresh event list with the model's settings for new tracks.
    static SigCollection<MFEvent>* newTrackList(int64_t reserve, bool grows);
    void releaseTracks();
};

std::ostream& operator<<(std::ostream& out, MidiFile& score);

#endif
