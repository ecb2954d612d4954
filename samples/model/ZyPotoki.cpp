// Work spread over the cores (see ZyPotoki.h).
#include "ZyPotoki.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace zymodel {

namespace {

// What the workers of one run share.
struct ZYS_OBSHCHAJA_RABOTA {
    ZYS_OBSHCHAJA_RABOTA(std::size_t n_, const std::function<void(std::size_t)>& z,
                         std::atomic<bool>& s)
        : n(n_), zadacha(z), stop(s) {}
    std::size_t n;
    const std::function<void(std::size_t)>& zadacha;
    std::atomic<bool>& stop;
    std::atomic<std::size_t> sledujushchaja{0};
    std::mutex zamok; // guards the fields below
    std::condition_variable konec;
    unsigned rabotajut = 0;
    std::exception_ptr oshibka;
};

// One worker: takes tasks until none is left or the run is stopped.
void Rabotnik(ZYS_OBSHCHAJA_RABOTA& r) {
    try {
        for (std::size_t i = r.sledujushchaja++; i < r.n && !r.stop; i = r.sledujushchaja++)
            r.zadacha(i);
    } catch (...) {
        std::lock_guard<std::mutex> g(r.zamok);
        if (!r.oshibka) r.oshibka = std::current_exception();
        r.stop = true;
    }
    std::lock_guard<std::mutex> g(r.zamok);
    --r.rabotajut;
    r.konec.notify_all();
}

} // namespace

unsigned ZyChisloPotokov() {
    return std::min(8u, std::max(1u, std::thread::hardware_concurrency()));
}

void ZyParallelno(std::size_t n, unsigned potokov, const std::function<void(std::size_t)>& zadacha,
                  const std::function<bool()>& nabljudenie, std::atomic<bool>& stop) {
    ZYS_OBSHCHAJA_RABOTA r(n, zadacha, stop);
    const unsigned nuzhno = unsigned(std::min<std::size_t>(n, std::max(1u, potokov)));
    std::vector<std::thread> potoki;
    for (unsigned i = 0; i < nuzhno; ++i) {
        {
            std::lock_guard<std::mutex> g(r.zamok);
            ++r.rabotajut;
        }
        try {
            potoki.emplace_back(Rabotnik, std::ref(r));
        } catch (const std::system_error&) {
            std::lock_guard<std::mutex> g(r.zamok);
            --r.rabotajut;
            break;
        }
    }
    if (potoki.empty()) {
        // No thread could be started: the tasks run here, watched between them.
        for (std::size_t i = 0; i < n && !stop; ++i) {
            zadacha(i);
            if (nabljudenie && !nabljudenie()) stop = true;
        }
        return;
    }
    {
        std::unique_lock<std::mutex> g(r.zamok);
        while (r.rabotajut > 0) {
            r.konec.wait_for(g, std::chrono::milliseconds(50));
            if (r.rabotajut == 0) break;
            g.unlock();
            if (nabljudenie && !nabljudenie()) stop = true;
            g.lock();
        }
    }
    for (std::thread& p : potoki)
        p.join();
    if (r.oshibka) std::rethrow_exception(r.oshibka);
}

} // namespace zymodel
