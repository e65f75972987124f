#include "OrderedReading.h"

#include "data/Database.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace velmora::due {

namespace {

// A further session with a database server costs its start (a process of the server's,
// whose catalogue is read afresh): more than reading a few aircraft. Fewer items than this
// are read on the caller's session alone.
constexpr std::size_t kServerItemsForReaders = 8;

// Readers for the threads beyond the calling one: as many as the data gives, up to wanted.
std::vector<std::shared_ptr<data::Database>> openReaders(data::Database& db, std::size_t wanted) {
    std::vector<std::shared_ptr<data::Database>> readers;
    if (wanted == 0 || db.inTransaction())
        return readers;
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            readers.push_back(data::Database::openForReading(db.path()));
        } catch (const data::DbError&) {
            break;  // the data gives no further connection: fewer threads do the work
        }
    }
    return readers;
}

}  // namespace

void readInOrder(data::Database& db, std::size_t count, const ReadItem& read,
                 const TakeItem& take) {
    const auto cores = static_cast<std::size_t>(std::max(1, QThread::idealThreadCount()));
    // The calling thread reads on db; a reader for each further thread.
    const std::size_t threads = std::min(cores, count);
    std::size_t further = threads > 0 ? threads - 1 : 0;
    if (count < kServerItemsForReaders && db.isShared())
        further = 0;
    const std::vector<std::shared_ptr<data::Database>> readers = openReaders(db, further);

    std::mutex mutex;  // guards what follows, up to the atomics
    std::vector<char> isRead(count, 0);
    std::size_t next = 0;  // the next item to take
    bool taking = false;   // whether a thread is taking items
    std::exception_ptr error;
    std::atomic<std::size_t> claimed{0};
    std::atomic<bool> stop{false};

    // The items read and not yet taken, taken in order by one thread at a time, outside the
    // lock: a take (which may copy much) keeps no other thread from marking what it read.
    auto takeReady = [&] {
        for (;;) {
            std::size_t k;
            {
                const std::lock_guard lock(mutex);
                if (stop || next >= count || !isRead[next]) {
                    taking = false;
                    return;
                }
                k = next++;
            }
            take(k);
        }
    };
    auto work = [&](data::Database& conn) {
        while (!stop) {
            const std::size_t i = claimed++;
            if (i >= count)
                return;
            try {
                read(conn, i);
                {
                    const std::lock_guard lock(mutex);
                    isRead[i] = 1;
                    if (taking)
                        continue;  // the thread taking will come to it
                    taking = true;
                }
                takeReady();
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!error)
                    error = std::current_exception();
                stop = true;
                return;
            }
        }
    };

    {
        std::vector<std::jthread> threads;  // joined when the block ends, whatever happens
        threads.reserve(readers.size());
        for (const auto& reader : readers) {
            try {
                threads.emplace_back(work, std::ref(*reader));
            } catch (const std::system_error&) {
                break;  // no further thread to be had: the ones running share the work
            }
        }
        work(db);
    }
    if (error)
        std::rethrow_exception(error);
}

}  // namespace velmora::due
