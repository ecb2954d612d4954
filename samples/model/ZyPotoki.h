// ZyPotoki: the steps of a model load spread over the processor's cores. The calling thread
// only watches: it reports the progress and passes a stop on to the workers, so that the view
// keeps its progress line and a new model asked for ends the old load at once.
#ifndef ZYPOTOKI_H
#define ZYPOTOKI_H

#include <atomic>
#include <cstddef>
#include <functional>

namespace zymodel {

// Threads a load uses: the processor's hardware threads, 1 to 8.
unsigned ZyChisloPotokov();

// Runs zadacha(i) for every i < n on up to `potokov` worker threads (each takes the next i
// when done). Meanwhile the calling thread calls `nabljudenie` about every 50 ms; when it
// returns false, `stop` is set, which the tasks read to end early. A task's exception (out of
// memory) stops the others and is thrown again here once every worker has ended. When no
// worker thread can be started, the calling thread runs the tasks itself.
void ZyParallelno(std::size_t n, unsigned potokov, const std::function<void(std::size_t)>& zadacha,
                  const std::function<bool()>& nabljudenie, std::atomic<bool>& stop);

} // namespace zymodel

#endif // ZYPOTOKI_H
