// Loading work spread over the machine's cores: reading files, parsing meshes, decoding
// images and rasterising glyphs at start-up, while GL calls stay on the calling thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// Runs work(i) for every i in 0..count-1 and returns when all are done. The calling
// thread takes its share; helpers are only started when there is more than one item
// and more than one core. work(i) must not touch what work(j) touches, nor call GL.
// Library objects work(i) makes are best freed after the return: SDL, for one, shares a
// description of each pixel format among all surfaces and counts its users under a spin
// lock ThreadSanitizer cannot see, so a surface freed on a helper can free what another
// thread made with no order it knows of; the join orders everything for it.
template <typename Work>
void for_each_in_parallel(int count, const Work& work) {
    std::atomic<int> next{0};
    auto drain = [&] {
        for (int i = next++; i < count; i = next++) work(i);
    };
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int helpers = std::min(count, std::max(cores, 1)) - 1;
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(std::max(helpers, 0)));
    for (int h = 0; h < helpers; ++h) {
        try {
            threads.emplace_back(drain);
        } catch (const std::system_error&) {
            break;  // no thread to be had: the calling thread does the rest
        }
    }
    drain();
    for (std::thread& thread : threads) thread.join();
}
