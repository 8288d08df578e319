// Measures 100,000 facade calls in-process (and through the loopback channel for comparison)
// against the same work done on the engine directly, so the figure is the model's own cost.
#include "platform/cad/Application.h"
#include "platform/cad/InProcessChannel.h"
#include "platform/cad/LoopbackChannel.h"
#include "platform/cad/engine/Database.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

constexpr int Calls = 100000;

double nsPerCall(const std::function<void(int)>& body) {
    body(0);  // warm-up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < Calls; ++i) body(i);
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(end - start).count() / Calls;
}

void report(const char* what, double ns) {
    std::printf("%-46s %9.1f ns/call\n", what, ns);
}

}  // namespace

int main() {
    cad::ObjectModel model;
    cad::InProcessChannel direct(model);
    cad::LoopbackChannel loop(model);
    const cad::Application app(&direct);
    const cad::Document doc = app.documents().add();
    const cad::Block ms = doc.modelSpace();
    for (int i = 0; i < 1000; ++i) ms.addLine({double(i), 0, 0}, {double(i), 10, 0});
    const cad::Entity line = ms.item(500);
    cad::db::Database& db = *model.activeDocument()->db;
    cad::db::Entity* engineLine = db.modelSpace()->item(500);

    volatile int sink = 0;
    const double engineColor = nsPerCall([&](int) { sink = engineLine->color; });
    const double facadeColor = nsPerCall([&](int) { sink = line.color(); });
    const double facadeSetColor = nsPerCall([&](int i) { line.setColor(1 + i % 255); });
    const double engineItem =
        nsPerCall([&](int i) { sink = int(db.modelSpace()->item(i % 1000)->handle()); });
    const double facadeItem = nsPerCall([&](int i) { sink = int(ms.item(i % 1000).id()); });
    const double facadeCount = nsPerCall([&](int) { sink = ms.count(); });
    const double facadeHandle = nsPerCall([&](int) { sink = int(line.handle().size()); });
    const double facadePoint = nsPerCall([&](int) { sink = int(line.startPoint().x); });

    const cad::Entity remoteLine(&loop, line.id());
    const double loopColor = nsPerCall([&](int) { sink = remoteLine.color(); });

    std::printf("%d calls each\n", Calls);
    report("engine: entity colour (baseline)", engineColor);
    report("facade in-process: Entity.color()", facadeColor);
    report("facade in-process: Entity.setColor()", facadeSetColor);
    report("engine: model space item(i) (baseline)", engineItem);
    report("facade in-process: Block.item(i)", facadeItem);
    report("facade in-process: Block.count()", facadeCount);
    report("facade in-process: Entity.handle()", facadeHandle);
    report("facade in-process: Entity.startPoint()", facadePoint);
    report("facade loopback (serialised): Entity.color()", loopColor);
    std::printf("model overhead per call (colour): %.1f ns\n", facadeColor - engineColor);
    return 0;
}
