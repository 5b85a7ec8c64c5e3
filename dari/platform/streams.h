// Byte streams: the abstract TStream, an in-memory TMemoryStream and a
// TFileStream over a file on disk. Read and Write move as many bytes as they can
// and return the count; ReadBuffer and WriteBuffer raise EStreamError when the
// whole count cannot be moved.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "dari/platform/component.h"

namespace dari {

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  std::string ClassName() const override { return "TStream"; }

  // Reads up to Count bytes into Buffer; returns the number read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes Count bytes from Buffer; returns the number written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position; returns the new position. Positions are clamped at 0.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual int64_t Size() const = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }

  // Read or write exactly Count bytes, else raise EStreamError.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
};

// A stream held in memory; writing past the end grows it.
class TMemoryStream : public TStream {
 public:
  std::string ClassName() const override { return "TMemoryStream"; }

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() const override { return static_cast<int64_t>(FData.size()); }

  // Sets the size, keeping the first bytes; the position stays where it was.
  void SetSize(int64_t NewSize);
  void Clear();
  const uint8_t* Memory() const { return FData.data(); }

  void SaveToFile(const std::string& FileName) const;
  void LoadFromFile(const std::string& FileName);

 private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// Open modes of TFileStream.
enum TFileMode : uint8_t {
  fmCreate,        // create or truncate, then read and write
  fmOpenRead,      // existing file, read only
  fmOpenWrite,     // existing file, write only
  fmOpenReadWrite  // existing file, read and write
};

// A stream over a file. The constructor raises EFOpenError when the file cannot
// be opened or created.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& FileName, TFileMode Mode);
  ~TFileStream() override;

  std::string ClassName() const override { return "TFileStream"; }

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() const override;

  const std::string& FileName() const { return FFileName; }

 private:
  std::FILE* FFile = nullptr;
  std::string FFileName;
  bool FCanRead = false;
  bool FCanWrite = false;
};

}  // namespace dari
