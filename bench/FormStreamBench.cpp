// Reading and writing a saved form of 1,000 TOmbralCreator components, in
// both encodings. Target: the binary read under 2 ms, text within 3 times it.
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBRAL_BUILD_TESTS=OFF
//   cmake --build build/bench -j2 --target ombral_form_bench && build/bench/bin/ombral_form_bench

#include <benchmark/benchmark.h>

#include <memory>

#include <OmbralCreateUnit/OmbralCreateUnit.h>
#include <platform/host/rtl/FormStream.h>

namespace {

using OmbralCreateUnit::TOmbralCreator;

constexpr int kComponents = 1000;

// A data module holding the components, each with some properties changed.
std::unique_ptr<host::TComponent> MakeModule() {
    host::RegisterClass(host::TypeInfo<host::TComponent>());
    host::RegisterClass(host::TypeInfo<TOmbralCreator>());
    auto module = std::make_unique<host::TComponent>(nullptr);
    module->Name = "DataModule1";
    for (int i = 0; i < kComponents; ++i) {
        auto* creator = new TOmbralCreator(module.get());
        creator->Name = "OmbralCreator" + std::to_string(i + 1);
        creator->SetDSNNameOrAlias("Shop" + std::to_string(i));
        creator->SetDatabaseDir("C:\\Data\\Shop" + std::to_string(i));
        creator->Password = "secret";
        creator->SetAction(OmbralCreateUnit::ADD_DSN);
        creator->optThreads = i % 8;
        creator->optUserCommitSync = i % 2;
    }
    return module;
}

void Read(benchmark::State& state, const host::String& data) {
    for (auto _ : state) {
        std::unique_ptr<host::TComponent> read(host::ReadComponentForm(data, nullptr));
        benchmark::DoNotOptimize(read.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
    state.counters["components"] = kComponents;
}

void BM_ReadBinary(benchmark::State& state) { Read(state, host::WriteComponentBinary(*MakeModule())); }
void BM_ReadText(benchmark::State& state) { Read(state, host::WriteComponentText(*MakeModule())); }

void BM_WriteBinary(benchmark::State& state) {
    const auto module = MakeModule();
    for (auto _ : state) benchmark::DoNotOptimize(host::WriteComponentBinary(*module));
}

void BM_WriteText(benchmark::State& state) {
    const auto module = MakeModule();
    for (auto _ : state) benchmark::DoNotOptimize(host::WriteComponentText(*module));
}

BENCHMARK(BM_ReadBinary)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteBinary)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteText)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
