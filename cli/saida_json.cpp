#include "cli/saida_json.h"

namespace cli {

std::string LinhaJson(const Json& objeto) {
    return objeto.dump(-1, ' ', true, Json::error_handler_t::replace) + "\n";
}

void ErrosEmJson::Escrever(const std::string& utf8) {
    respondeu_ = true;
    consola_.Escrever(utf8);
}

void ErrosEmJson::Erro(const std::string& utf8) {
    erro_ += utf8;
    consola_.Erro(utf8);
}

bool ErrosEmJson::LerLinha(std::size_t limite, platform::Secret* utf8) {
    erro_.clear();
    return consola_.LerLinha(limite, utf8);
}

int ErrosEmJson::Concluir(int saida) {
    if (saida == 0 || respondeu_) return saida;
    const std::size_t inicio = erro_.find_first_not_of(" \n");
    const std::size_t fim = erro_.find_last_not_of(" \n");
    const std::string texto =
        inicio == std::string::npos ? std::string() : erro_.substr(inicio, fim - inicio + 1);
    consola_.Escrever(LinhaJson({{"erro", texto}}));
    return saida;
}

void MensagensDsc::Erro(const std::string& utf8) {
    const std::size_t fim = utf8.find_last_not_of(" \n");
    if (fim == std::string::npos) return;
    consola_.Erro(LinhaJson({{"error", utf8.substr(0, fim + 1)}}));
}

}  // namespace cli
