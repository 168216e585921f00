// The client's work per 100 ms tick under a busy network: the local test
// server, in its own thread, drives 1,500 moving pilots (each reporting every
// 5 s, spread over the interval as a real network's arrive) and 200
// controllers (every 15 s) into a real network manager with the real aircraft
// and controller databases. Each tick runs what the frame tick runs every
// 100 ms on the network's behalf: the manager's timer (the session poll and
// every packet handler) and the two databases' timers. Reports the median and
// the 99th percentile of a tick against an idle tick measured in the same run
// (the same client signed on to a server with no traffic).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "foundation/random15.h"
#include "net/network_manager.h"
#include "platform/clock.h"
#include "tests/atc/quiet_services.h"
#include "tests/net/quiet_owners.h"
#include "tools/testserver/test_server.h"

namespace {

constexpr int kPilots = 1500;
constexpr int kControllers = 200;
constexpr int kTicks = 150;  // 15 s: every pilot reports three times

class BenchSettings final : public AtcSettings {
public:
    std::string server;
    int GetInt(const std::string& key) const override {
        if (key == "CAVerticalMin") return 1000;
        if (key == "CALateralMin") return 5;
        if (key == "TransLevel") return 18000;
        if (key == "Rating") return 5;
        return 0;
    }
    bool GetBool(const std::string&) const override { return false; }
    std::string GetString(const std::string& key) const override {
        if (key == "Callsign") return "ME_CTR";
        if (key == "RealName") return "Bench";
        if (key == "CID") return "1000001";
        if (key == "Password") return "secret";
        if (key == "Server") return "BENCH";
        return "";
    }
    std::vector<std::string> GetList(const std::string&) const override { return {}; }
    bool IsVFRCode(uint16_t code) const override { return code == 1200; }
};

// Pilots flying loops over a 300 NM square around New York; controllers
// spread over the same square.
Scenario BusyNetwork() {
    Scenario s;
    Random15 random(11);
    auto degrees = [&](double low, double span) { return low + random.Next() / 32767.0 * span; };
    for (int i = 0; i < kPilots; ++i) {
        ScenarioPilot p;
        p.callsign = "TRF" + std::to_string(1000 + i);
        p.squawk = 2000 + i % 500;
        p.altitude = 2000 + random.Next() % 350 * 100;
        p.groundSpeed = 150 + random.Next() % 350;
        p.loop = true;
        p.rules = "I";
        p.aircraftType = "B738";
        p.departure = "KJFK";
        p.destination = "KBOS";
        p.cruiseAltitude = "FL350";
        for (int w = 0; w < 3; ++w) {
            p.waypoints.emplace_back(degrees(38.5, 4.5), degrees(-76.5, 5.5));
            p.waypointAltitudes.push_back(w == 0 ? -1 : 3000 + random.Next() % 340 * 100);
        }
        s.pilots.push_back(std::move(p));
    }
    for (int i = 0; i < kControllers; ++i) {
        ScenarioController c;
        c.callsign = "ATC" + std::to_string(100 + i) + "_APP";
        c.frequency = 118000 + (i * 25) % 19000;
        c.facility = 5;
        c.visibilityRange = 150;
        c.rating = 5;
        c.latitude = degrees(38.5, 4.5);
        c.longitude = degrees(-76.5, 5.5);
        s.controllers.push_back(c);
    }
    return s;
}

// A server in its own thread and a client signed on to it.
class Network {
public:
    explicit Network(Scenario scenario) {
        TestServerOptions options;
        options.port = 0;
        options.key = TarqNetworkManager::LoginKey();
        options.challengeIntervalMs = 0;
        options.spreadReports = true;
        options.scenario = std::move(scenario);
        m_server = std::make_unique<TarqTestServer>(std::move(options), SystemClock::Instance());
        m_server->Start();
        m_thread = std::thread([this] {
            while (!m_stop) m_server->Poll(2);
        });

        AtcServices services = m_quiet.Services();
        services.settings = &m_settings;
        m_manager = std::make_unique<TarqNetworkManager>(services, m_owners.All(), 0);
        services.network = m_manager.get();
        m_aircraft = std::make_unique<TarqAircraftDB>(services);
        m_controllers = std::make_unique<TarqControllerDB>(services);
        m_aircraft->SetControllerDB(m_controllers.get());
        m_controllers->SetAircraftDB(m_aircraft.get());
        m_manager->SetAircraftDB(m_aircraft.get());
        m_manager->SetControllerDB(m_controllers.get());
        m_manager->AddServer("BENCH", "127.0.0.1:" + std::to_string(m_server->Port()));
        m_manager->Connect();
    }
    ~Network() {
        m_manager->Disconnect();
        for (int i = 0; i < 20; ++i) Tick();
        m_stop = true;
        m_thread.join();
    }

    // Ticks every 100 ms until the databases hold what the server flies.
    bool WarmUp(size_t pilots, size_t controllers) {
        for (int i = 0; i < 200; ++i) {
            Tick();
            if (m_manager->IsConnected() && m_aircraft->GetCallsigns().size() >= pilots &&
                m_controllers->GetControllerCount() >= controllers)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Seconds of the network's part (the session poll and the handlers).
    double Tick() {
        const auto start = std::chrono::steady_clock::now();
        m_manager->OnTimer();
        const auto network = std::chrono::steady_clock::now();
        m_controllers->OnTimer();
        m_aircraft->OnTimer();
        return std::chrono::duration<double>(network - start).count();
    }

    // Seconds of each tick, one tick every 100 ms of real time; the network's
    // part of each into network.
    std::vector<double> Run(int ticks, std::vector<double>* network = nullptr) {
        std::vector<double> seconds;
        auto next = std::chrono::steady_clock::now();
        for (int i = 0; i < ticks; ++i) {
            next += std::chrono::milliseconds(100);
            auto start = std::chrono::steady_clock::now();
            const double part = Tick();
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (network) network->push_back(part);
            std::this_thread::sleep_until(next);
        }
        return seconds;
    }

private:
    BenchSettings m_settings;
    // The bench measures the sessions and databases; nothing else is watched.
    QuietAtcServices m_quiet;
    QuietOwners m_owners;
    std::unique_ptr<TarqTestServer> m_server;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<TarqNetworkManager> m_manager;
    std::unique_ptr<TarqAircraftDB> m_aircraft;
    std::unique_ptr<TarqControllerDB> m_controllers;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
    return values[at];
}

void BM_NetworkTick(benchmark::State& state) {
    std::vector<double> idle;
    {
        Network quiet(Scenario{});
        if (!quiet.WarmUp(0, 0)) {
            state.SkipWithError("could not sign on to the idle server");
            return;
        }
        idle = quiet.Run(50);
    }
    Network busy(BusyNetwork());
    if (!busy.WarmUp(kPilots, kControllers)) {
        state.SkipWithError("the busy network did not fill the databases");
        return;
    }
    std::vector<double> ticks;
    std::vector<double> network;
    for (auto _ : state) {
        std::vector<double> run = busy.Run(kTicks, &network);
        ticks.insert(ticks.end(), run.begin(), run.end());
        state.SetIterationTime(Percentile(run, 0.5));
    }
    state.counters["median_ms"] = Percentile(ticks, 0.5) * 1000;
    state.counters["p99_ms"] = Percentile(ticks, 0.99) * 1000;
    state.counters["max_ms"] = Percentile(ticks, 1.0) * 1000;
    state.counters["network_median_ms"] = Percentile(network, 0.5) * 1000;
    state.counters["network_p99_ms"] = Percentile(network, 0.99) * 1000;
    state.counters["idle_median_ms"] = Percentile(idle, 0.5) * 1000;
    state.counters["idle_p99_ms"] = Percentile(idle, 0.99) * 1000;
    state.counters["p99_over_idle"] = Percentile(ticks, 0.99) / std::max(1e-9, Percentile(idle, 0.99));
}
BENCHMARK(BM_NetworkTick)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
