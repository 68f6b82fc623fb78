// The text form of the fake's scripting and log, for stand-ins that read their
// scenario from a file.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "fake_direct_input.h"

namespace fake_dinput {

namespace {

struct NamedCode {
  const char* name;
  HRESULT code;
};
const NamedCode Codes[] = {
    {"S_OK", S_OK},
    {"S_FALSE", S_FALSE},
    {"E_FAIL", E_FAIL},
    {"E_HANDLE", E_HANDLE},
    {"E_OUTOFMEMORY", E_OUTOFMEMORY},
    {"DIERR_INPUTLOST", static_cast<HRESULT>(DIERR_INPUTLOST)},
    {"DIERR_UNPLUGGED", static_cast<HRESULT>(DIERR_UNPLUGGED)},
    {"DIERR_OTHERAPPHASPRIO", static_cast<HRESULT>(DIERR_OTHERAPPHASPRIO)},
    {"DIERR_NOTACQUIRED", static_cast<HRESULT>(DIERR_NOTACQUIRED)},
    {"DIERR_DEVICENOTREG", static_cast<HRESULT>(DIERR_DEVICENOTREG)},
    {"DIERR_UNSUPPORTED", static_cast<HRESULT>(DIERR_UNSUPPORTED)},
};

bool ParseCode(const std::string& text, HRESULT* code) {
  for (const NamedCode& named : Codes) {
    if (text == named.name) {
      *code = named.code;
      return true;
    }
  }
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || value > 0xFFFFFFFFull) return false;
  *code = static_cast<HRESULT>(static_cast<DWORD>(value));
  return true;
}

bool ParseInt(const std::string& text, long* value) {
  char* end = nullptr;
  *value = std::strtol(text.c_str(), &end, 0);
  return !text.empty() && *end == '\0';
}

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                      nullptr);
  return narrow;
}

// "buttons=1,5 hat=9000 x=-1000": the words of one state.
bool ParseState(std::istringstream& words, DIJOYSTATE2* state, std::string* error) {
  *state = CentredState();
  std::string word;
  while (words >> word) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) {
      *error = "expected name=value in a state: " + word;
      return false;
    }
    const std::string name = word.substr(0, equals);
    const std::string value = word.substr(equals + 1);
    long number = 0;
    if (name == "buttons") {
      std::istringstream list(value);
      for (std::string button; std::getline(list, button, ',');) {
        if (!ParseInt(button, &number) || number < 1 || number > 128) {
          *error = "not a button from 1 to 128: " + button;
          return false;
        }
        state->rgbButtons[number - 1] = 0x80;
      }
      continue;
    }
    if (!ParseInt(value, &number)) {
      *error = "not a number: " + word;
      return false;
    }
    if (name == "hat") state->rgdwPOV[0] = static_cast<DWORD>(number);
    else if (name == "x") state->lX = number;
    else if (name == "y") state->lY = number;
    else if (name == "z") state->lZ = number;
    else if (name == "rx") state->lRx = number;
    else if (name == "ry") state->lRy = number;
    else if (name == "rz") state->lRz = number;
    else {
      *error = "unknown part of a state: " + name;
      return false;
    }
  }
  return true;
}

}  // namespace

bool MethodByName(std::string_view name, Method* method) {
  for (int i = 0; i <= static_cast<int>(Method::Unexpected); ++i) {
    if (name == MethodName(static_cast<Method>(i))) {
      *method = static_cast<Method>(i);
      return true;
    }
  }
  return false;
}

std::string FakeInputSystem::RunScript(std::string_view script) {
  std::istringstream lines{std::string(script)};
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    if (const size_t comment = line.find('#'); comment != std::string::npos) line.erase(comment);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string command;
    if (!(words >> command)) continue;
    std::string error;
    auto deviceId = [&](const std::string& text, int* id) {
      long number = 0;
      if (!ParseInt(text, &number) || number < 0 || number >= static_cast<long>(devices_.size())) {
        error = "no such device: " + text;
        return false;
      }
      *id = static_cast<int>(number);
      return true;
    };

    if (command == "plug") {
      std::string name;
      std::getline(words >> std::ws, name);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      if (name.empty()) error = "plug needs a product name";
      else Plug(Utf8ToWide(name));
    } else if (command == "unplug" || command == "replug") {
      std::string text;
      int id = 0;
      words >> text;
      if (deviceId(text, &id)) command == "unplug" ? Unplug(id) : Replug(id);
    } else if (command == "states") {
      std::string text, rest;
      int id = 0;
      words >> text;
      std::getline(words, rest);
      if (deviceId(text, &id)) {
        std::vector<DIJOYSTATE2> states;
        std::istringstream parts(rest);
        for (std::string part; error.empty() && std::getline(parts, part, '|');) {
          std::istringstream stateWords(part);
          DIJOYSTATE2 state;
          if (ParseState(stateWords, &state, &error)) states.push_back(state);
        }
        if (error.empty()) SetStates(id, std::move(states));
      }
    } else if (command == "results") {
      std::string methodName, target, word;
      Method method{};
      int id = DirectInputObject;
      words >> methodName >> target;
      if (!MethodByName(methodName, &method)) {
        error = "no such method: " + methodName;
      } else if (target == "directinput" || deviceId(target, &id)) {
        std::vector<HRESULT> results;
        bool forever = false;
        while (error.empty() && words >> word) {
          HRESULT code = S_OK;
          if (word == "forever") forever = true;
          else if (ParseCode(word, &code)) results.push_back(code);
          else error = "not a result code: " + word;
        }
        if (error.empty() && results.empty()) error = "results needs at least one code";
        if (error.empty() && forever && results.size() != 1) error = "forever takes one code";
        if (error.empty()) {
          if (forever) ScriptResultForever(method, id, results[0]);
          else ScriptResults(method, id, std::move(results));
        }
      }
    } else if (command == "foreground") {
      std::string value;
      words >> value;
      if (value == "on" || value == "off") SetForeground(value == "on");
      else error = "foreground takes on or off";
    } else {
      error = "unknown command: " + command;
    }
    if (!error.empty()) return "line " + std::to_string(lineNumber) + ": " + error;
  }
  return "";
}

std::string FakeInputSystem::CallLogText() const {
  std::string text;
  char result[32];
  for (const LoggedCall& call : calls_) {
    text += MethodName(call.method);
    if (call.device != DirectInputObject) text.append("[").append(WideToUtf8(call.deviceName)).append("]");
    if (!call.arguments.empty()) text.append(" ").append(call.arguments);
    std::snprintf(result, sizeof(result), " -> 0x%08lx\n", static_cast<unsigned long>(call.result));
    text += result;
  }
  return text;
}

}  // namespace fake_dinput
