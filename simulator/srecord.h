#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// Motorola S-record checking, one line at a time.

// The fault of one record, or nothing when it is sound: type, length, hex digits, checksum.
// Sets *pType to the record type digit (0..9) when the line is a well-formed record.
std::optional<std::string> CheckSRecord(std::string_view line, int* pType = nullptr,
                                        std::uint32_t* pCountValue = nullptr);

// Checks a whole file's records in order: what each line holds and how the lines go together
// (data records counted against S5/S6, nothing after the termination record, at least one data
// record). Blank lines are allowed and carry nothing.
class CSRecordValidator {
public:
    std::optional<std::string> Feed(std::string_view line);
    // At the end of the file.
    std::optional<std::string> Finish() const;
    // The text of the S0 header record, when it has one that is printable.
    const std::string& HeaderText() const { return m_header; }

private:
    std::uint32_t m_dataRecords = 0;
    int m_records = 0;
    bool m_terminated = false;
    std::string m_header;
};

// Reads a file line by line with a bounded buffer, so a file of any size costs the same
// memory; a line longer than any S-record can be is reported, not read whole.
class CLineReader {
public:
    // Longer than the longest record (S + type + 255 bytes in hex) and a line end.
    static constexpr std::size_t kMaxLine = 520;
    enum class Result { Line, TooLong, End, Error };

    CLineReader() = default;
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;
    ~CLineReader();

    // Returns the system's error text when the file cannot be opened.
    std::optional<std::string> Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    // The next line without its line end (LF or CR LF).
    Result Next(std::string& line);
    // Whether nothing is left to read.
    bool AtEnd();

private:
    std::FILE* m_file = nullptr;
};
