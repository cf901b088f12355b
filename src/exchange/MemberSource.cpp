#include "exchange/MemberSource.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace exchange {

namespace {

constexpr qint64 kBlockBytes = qint64(1) << 20;
constexpr qint64 kWindowBytes = 32768; // what a deflate back-reference can reach

// Reads exactly `bytes` from the offset; false on an error or an early end.
bool readAt(int fd, unsigned char *into, qint64 bytes, qint64 offset) {
  while (bytes > 0) {
    const ssize_t n = ::pread(fd, into, size_t(bytes), off_t(offset));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    into += n;
    bytes -= n;
    offset += n;
  }
  return true;
}

struct Block {
  std::vector<unsigned char> deflated;
  uLong crc = 0;
  qint64 length = 0;
  bool failed = false;
};

class Member {
public:
  Member(QString path, const struct stat &info, int level, int threads, MemberTick tick)
      : path_(std::move(path)), info_(info), level_(level), threads_(std::max(threads, 1)),
        tick_(std::move(tick)) {
    zip_error_init(&error_);
  }
  ~Member() {
    close();
    zip_error_fini(&error_);
  }

  zip_int64_t call(void *data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
    case ZIP_SOURCE_OPEN:
      return open();
    case ZIP_SOURCE_READ:
      return level_ == 0 ? readStored(static_cast<unsigned char *>(data), length)
                         : readDeflated(static_cast<unsigned char *>(data), length);
    case ZIP_SOURCE_CLOSE:
      close();
      return 0;
    case ZIP_SOURCE_STAT:
      return stat(data, length);
    case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
      return attributes(data, length);
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&error_, data, length);
    case ZIP_SOURCE_FREE:
      delete this;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                            ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
    default:
      zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
      return -1;
    }
  }

private:
  zip_int64_t failWith(int zipError, int systemError) {
    zip_error_set(&error_, zipError, systemError);
    return -1;
  }

  zip_int64_t open() {
    fd_ = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
      return failWith(ZIP_ER_OPEN, errno);
    size_ = qint64(info_.st_size);
    handed_ = 0;
    crc_ = crc32(0, nullptr, 0);
    finished_ = false;
    if (level_ != 0) {
      blocks_ = std::max<qint64>(1, (size_ + kBlockBytes - 1) / kBlockBytes);
      nextToTake_ = nextToHand_ = 0;
      stopping_ = false;
      broken_ = false;
      ready_.clear();
      pending_.clear();
      pendingAt_ = 0;
      try {
        for (int i = 0; i < threads_; ++i)
          workers_.emplace_back([this] { work(); });
      } catch (...) {
        close();
        return failWith(ZIP_ER_MEMORY, 0);
      }
    }
    return 0;
  }

  void close() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread &t : workers_)
      t.join();
    workers_.clear();
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = -1;
  }

  bool told(qint64 bytes) {
    if (!tick_)
      return true;
    try {
      return tick_(bytes);
    } catch (...) {
      return false; // nothing may cross the C library
    }
  }

  zip_int64_t readStored(unsigned char *into, zip_uint64_t room) {
    const qint64 want =
        std::min<qint64>(qint64(std::min<zip_uint64_t>(room, 1 << 30)), size_ - handed_);
    if (want <= 0) {
      finished_ = true;
      return 0;
    }
    if (!readAt(fd_, into, want, handed_))
      return failWith(ZIP_ER_READ, errno);
    handed_ += want;
    if (!told(want))
      return failWith(ZIP_ER_CANCELLED, 0);
    return want;
  }

  zip_int64_t readDeflated(unsigned char *into, zip_uint64_t room) {
    while (pendingAt_ == qsizetype(pending_.size())) {
      if (nextToHand_ == blocks_) {
        finished_ = true;
        return 0;
      }
      Block block;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return broken_ || ready_.count(nextToHand_) != 0; });
        if (ready_.count(nextToHand_) == 0)
          return failWith(ZIP_ER_MEMORY, 0);
        block = std::move(ready_[nextToHand_]);
        ready_.erase(nextToHand_);
        ++nextToHand_;
      }
      wake_.notify_all();
      if (block.failed)
        return failWith(ZIP_ER_READ, EIO);
      crc_ = crc32_combine(crc_, block.crc, z_off_t(block.length));
      handed_ += block.length;
      pending_ = std::move(block.deflated);
      pendingAt_ = 0;
      if (!told(block.length))
        return failWith(ZIP_ER_CANCELLED, 0);
    }
    const qsizetype n =
        qsizetype(std::min<zip_uint64_t>(room, zip_uint64_t(pending_.size() - pendingAt_)));
    std::copy_n(pending_.data() + pendingAt_, n, into);
    pendingAt_ += n;
    return n;
  }

  // A worker: takes the next block while not too far ahead of the reader, deflates it. A
  // worker that cannot go on (no memory) fails the member instead of ending the program.
  void work() {
    try {
      deflateBlocks();
    } catch (...) {
      {
        std::lock_guard lock(mutex_);
        broken_ = true;
      }
      wake_.notify_all();
    }
  }

  void deflateBlocks() {
    z_stream z{};
    const bool usable =
        deflateInit2(&z, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    std::vector<unsigned char> input(size_t(kWindowBytes + kBlockBytes));
    const qint64 ahead = 2 * qint64(threads_) + 2;
    for (;;) {
      qint64 index = 0;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] {
          return stopping_ || nextToTake_ == blocks_ || nextToTake_ < nextToHand_ + ahead;
        });
        if (stopping_ || nextToTake_ == blocks_)
          break;
        index = nextToTake_++;
      }
      Block block;
      if (usable)
        block = deflateBlock(z, input, index);
      block.failed = block.failed || !usable;
      {
        std::lock_guard lock(mutex_);
        ready_[index] = std::move(block);
      }
      wake_.notify_all();
    }
    if (usable)
      deflateEnd(&z);
  }

  Block deflateBlock(z_stream &z, std::vector<unsigned char> &input, qint64 index) {
    Block block;
    const qint64 start = index * kBlockBytes;
    block.length = std::min(kBlockBytes, size_ - start);
    const qint64 primer = std::min(kWindowBytes, start);
    const bool last = index == blocks_ - 1;
    if (!readAt(fd_, input.data(), primer + block.length, start - primer) ||
        deflateReset(&z) != Z_OK ||
        (primer > 0 && deflateSetDictionary(&z, input.data(), uInt(primer)) != Z_OK)) {
      block.failed = true;
      return block;
    }
    const unsigned char *data = input.data() + primer;
    block.crc = crc32(crc32(0, nullptr, 0), data, uInt(block.length));
    z.next_in = const_cast<unsigned char *>(data);
    z.avail_in = uInt(block.length);
    // Room for the block and its closing marker; grown when zlib wants more all the same.
    block.deflated.resize(deflateBound(&z, uLong(block.length)) + 64);
    std::size_t used = 0;
    for (;;) {
      z.next_out = block.deflated.data() + used;
      z.avail_out = uInt(block.deflated.size() - used);
      const int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
      used = block.deflated.size() - z.avail_out;
      if (rc == Z_STREAM_ERROR || (rc == Z_BUF_ERROR && z.avail_out != 0)) {
        block.failed = true;
        return block;
      }
      if (z.avail_out != 0 && (!last || rc == Z_STREAM_END))
        break;
      block.deflated.resize(block.deflated.size() * 2);
    }
    block.deflated.resize(used);
    return block;
  }

  zip_int64_t stat(void *data, zip_uint64_t length) {
    if (length < sizeof(zip_stat_t))
      return failWith(ZIP_ER_INVAL, 0);
    auto *st = static_cast<zip_stat_t *>(data);
    zip_stat_init(st);
    st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    st->size = zip_uint64_t(info_.st_size);
    st->mtime = info_.st_mtime;
    if (level_ != 0) {
      st->valid |= ZIP_STAT_COMP_METHOD;
      st->comp_method = ZIP_CM_DEFLATE;
      if (finished_) {
        st->valid |= ZIP_STAT_CRC;
        st->crc = zip_uint32_t(crc_);
      }
    }
    return sizeof(zip_stat_t);
  }

  // The file's mode and read-only flag, as zip_source_file gives them.
  zip_int64_t attributes(void *data, zip_uint64_t length) {
    if (length < sizeof(zip_file_attributes_t))
      return failWith(ZIP_ER_INVAL, 0);
    auto *a = static_cast<zip_file_attributes_t *>(data);
    zip_file_attributes_init(a);
    a->valid |= ZIP_FILE_ATTRIBUTES_HOST_SYSTEM | ZIP_FILE_ATTRIBUTES_EXTERNAL_FILE_ATTRIBUTES;
    a->host_system = ZIP_OPSYS_UNIX;
    a->external_file_attributes =
        (zip_uint32_t(info_.st_mode) << 16) | ((info_.st_mode & S_IWUSR) ? 0 : 1);
    return 0;
  }

  const QString path_;
  const struct stat info_;
  const int level_;
  const int threads_;
  const MemberTick tick_;
  zip_error_t error_;
  int fd_ = -1;
  qint64 size_ = 0;
  qint64 handed_ = 0; // bytes of the file handed over
  uLong crc_ = 0;
  bool finished_ = false;

  // The deflate on worker threads.
  qint64 blocks_ = 0;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::thread> workers_;
  qint64 nextToTake_ = 0;
  qint64 nextToHand_ = 0;
  bool stopping_ = false;
  bool broken_ = false;
  std::map<qint64, Block> ready_;
  std::vector<unsigned char> pending_; // the block being handed over
  qsizetype pendingAt_ = 0;
};

zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command) {
  return static_cast<Member *>(state)->call(data, length, command);
}

} // namespace

zip_source_t *memberSource(zip_t *za, const QString &path, int deflateLevel, int threads,
                           MemberTick tick, zip_error_t *error) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
    zip_error_set(error, errno == ENOENT ? ZIP_ER_NOENT : ZIP_ER_OPEN, errno);
    return nullptr;
  }
  auto *member = new Member(path, info, std::clamp(deflateLevel, 0, 9), threads, std::move(tick));
  zip_source_t *source = zip_source_function(za, callback, member);
  if (!source) {
    zip_error_set(error, zip_error_code_zip(zip_get_error(za)), 0);
    delete member;
  }
  return source;
}

} // namespace exchange
