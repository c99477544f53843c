// A file stream with typed transfers in a chosen byte order. Widths are those
// of the stream, not of memory: long and unsigned long take 4 bytes.
#ifndef VENNOR_FILEIO_H
#define VENNOR_FILEIO_H

#include <fstream>

class FileIO : public std::fstream {
  public:
    FileIO();
    FileIO(const char* filename, unsigned int mode);
    ~FileIO() override;

#define VENNOR_FILEIO_FAMILY(T)                                                                    \
    void readBigEndian(T& value);                                                                  \
    void readLittleEndian(T& value);                                                               \
    void readMachineEndian(T& value);                                                              \
    void readNotMachineEndian(T& value);                                                           \
    void writeBigEndian(T value);                                                                  \
    void writeLittleEndian(T value);                                                               \
    void writeMachineEndian(T value);                                                              \
    void writeNotMachineEndian(T value);                                                           \
    static T flipBytes(T value);

    VENNOR_FILEIO_FAMILY(char)
    VENNOR_FILEIO_FAMILY(unsigned char)
    VENNOR_FILEIO_FAMILY(short)
    VENNOR_FILEIO_FAMILY(unsigned short)
    VENNOR_FILEIO_FAMILY(int)
    VENNOR_FILEIO_FAMILY(unsigned int)
    VENNOR_FILEIO_FAMILY(long)
    VENNOR_FILEIO_FAMILY(unsigned long)
    VENNOR_FILEIO_FAMILY(float)
    VENNOR_FILEIO_FAMILY(double)
#undef VENNOR_FILEIO_FAMILY
};

#endif
