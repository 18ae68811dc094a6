// How a connection test's outcome reads.
#include "connection/attempt.h"

#include <iterator>

namespace connection {

namespace {

// Each stage's name as the user reads it and its key in `testar --json`,
// in the order of Stage.
struct StageText {
    Stage stage;
    const char* name;
    const char* key;
};
constexpr StageText kStages[] = {
    {Stage::Name, "Nome", "nome"},
    {Stage::Instance, "Instância", "instancia"},
    {Stage::Port, "Porta", "porta"},
    {Stage::SqlServer, "Servidor SQL", "servidor_sql"},
    {Stage::Tls, "TLS", "tls"},
    {Stage::Login, "Entrada", "entrada"},
    {Stage::Database, "Base de dados", "base_dados"},
};

constexpr bool InOrder() {
    for (std::size_t i = 0; i < std::size(kStages); ++i)
        if (static_cast<std::size_t>(kStages[i].stage) != i) return false;
    return std::size(kStages) == static_cast<std::size_t>(Stage::Database) + 1;
}
static_assert(InOrder(), "one row for each stage, in the order of Stage");

const StageText& Text(Stage stage) { return kStages[static_cast<std::size_t>(stage)]; }

}  // namespace

const char* StageName(Stage stage) { return Text(stage).name; }

const char* StageKey(Stage stage) { return Text(stage).key; }

std::string StepLine(const Step& step) {
    std::string line = std::string(StageName(step.stage)) + ": " + (step.ok ? "ok" : "falhou");
    if (!step.detail.empty()) line += ", " + step.detail;
    return line + " (" + std::to_string(step.ms) + " ms)";
}

std::string Message(const Outcome& outcome) {
    std::string message =
        outcome.connected ? "Ligação estabelecida.\n" : "Não foi possível ligar à base de dados:\n";
    for (const Step& step : outcome.steps) message += "\n" + StepLine(step);
    for (const std::string& line : outcome.lines) message += "\n" + line;
    return message;
}

}  // namespace connection
