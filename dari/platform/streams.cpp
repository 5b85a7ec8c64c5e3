#include "dari/platform/streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "dari/platform/exceptions.h"

namespace dari {

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count > 0 && Read(Buffer, Count) != Count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count > 0 && Write(Buffer, Count) != Count) throw EStreamError("Stream write error");
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  const int64_t n = std::min(Count, Size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (FPosition > std::numeric_limits<int64_t>::max() - Count) return 0;
  const int64_t end = FPosition + Count;
  try {
    if (end > Size()) FData.resize(static_cast<size_t>(end));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = 0;
  if (Origin == soCurrent) base = FPosition;
  if (Origin == soEnd) base = Size();
  // Saturate rather than overflow; a position before the start becomes 0.
  int64_t pos;
  if (__builtin_add_overflow(base, Offset, &pos)) {
    pos = Offset > 0 ? std::numeric_limits<int64_t>::max() : 0;
  }
  FPosition = std::max<int64_t>(pos, 0);
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  try {
    FData.resize(static_cast<size_t>(NewSize));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, fmCreate);
  if (!FData.empty()) file.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  std::vector<uint8_t> data(static_cast<size_t>(file.Size()));
  if (!data.empty()) file.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  FData.swap(data);
  FPosition = 0;
}

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName) {
  const char* mode = "rb";
  switch (Mode) {
    case fmCreate: mode = "w+b"; FCanRead = FCanWrite = true; break;
    case fmOpenRead: mode = "rb"; FCanRead = true; break;
    case fmOpenWrite: mode = "r+b"; FCanWrite = true; break;
    case fmOpenReadWrite: mode = "r+b"; FCanRead = FCanWrite = true; break;
  }
  FFile = std::fopen(FileName.c_str(), mode);
  if (FFile == nullptr) {
    if (Mode == fmCreate) throw EFOpenError("Cannot create file \"" + FileName + "\"");
    throw EFOpenError("Cannot open file \"" + FileName + "\"");
  }
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (!FCanRead || Count <= 0) return 0;
  return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  if (!FCanWrite || Count <= 0) return 0;
  return static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : (Origin == soCurrent ? SEEK_CUR : SEEK_END);
  if (std::fseek(FFile, static_cast<long>(Offset), whence) != 0) {
    if (Origin == soBeginning || Offset < 0) std::fseek(FFile, 0, SEEK_SET);
  }
  return static_cast<int64_t>(std::ftell(FFile));
}

int64_t TFileStream::Size() const {
  const long here = std::ftell(FFile);
  std::fseek(FFile, 0, SEEK_END);
  const long end = std::ftell(FFile);
  std::fseek(FFile, here, SEEK_SET);
  return static_cast<int64_t>(end);
}

}  // namespace dari
