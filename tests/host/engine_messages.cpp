// Engine slots: user and temporary-entity messages, console and client
// prints, alert lines and sounds. Everything is recorded for the test.
#include <cstring>

#include "engine_impl.h"

namespace host {

namespace {

int regUserMsg(const char* name, int size) {
  if (!name) return 0;
  Server::Impl& m = im();
  for (size_t i = 0; i < m.userMsgs.size(); ++i)
    if (m.userMsgs[i] == name) return Server::Impl::kFirstUserMsg + static_cast<int>(i);
  if (Server::Impl::kFirstUserMsg + static_cast<int>(m.userMsgs.size()) > 255) return 0;
  m.userMsgs.push_back(name);
  m.userMsgSizes.push_back(size);
  return Server::Impl::kFirstUserMsg + static_cast<int>(m.userMsgs.size() - 1);
}

void messageBegin(int dest, int type, const float* origin, edict_t* ed) {
  Server::Impl& m = im();
  if (m.inMessage) sv().driverError("pfnMessageBegin inside another message");
  m.inMessage = true;
  Message& msg = m.current;
  msg = Message{};
  msg.dest = dest;
  msg.type = type;
  if (type == SVC_TEMPENTITY) {
    msg.name = "SVC_TEMPENTITY";
  } else {
    msg.name = sv().userMsgName(type);
    if (msg.name.empty()) msg.name = "svc_" + std::to_string(type);
  }
  if (origin) {
    msg.hasOrigin = true;
    msg.origin = vec3_t::from(origin);
  }
  msg.receiver = std::max(0, entIndex(ed));
  if ((dest == MSG_ONE || dest == MSG_ONE_UNRELIABLE) && !ed)
    sv().driverError("pfnMessageBegin: MSG_ONE without a receiver");
  msg.fromGame = sv().routedDepth > 0;
}

void messageEnd() {
  Server::Impl& m = im();
  if (!m.inMessage) {
    sv().driverError("pfnMessageEnd without pfnMessageBegin");
    return;
  }
  m.inMessage = false;
  sv().recordMessage(std::move(m.current));
  m.current = Message{};
}

void put(MsgValue::Kind kind, int i, float f, const char* s = nullptr) {
  Server::Impl& m = im();
  if (!m.inMessage) {
    sv().driverError("pfnWrite* outside a message");
    return;
  }
  MsgValue v{kind, i, f, s ? s : ""};
  m.current.values.push_back(std::move(v));
}

// Values are stored as the client reads them: a byte wraps to 0..255, a
// char to -128..127, a short to -32768..32767.
void writeByte(int v) { put(MsgValue::Byte, v & 0xFF, static_cast<float>(v & 0xFF)); }
void writeChar(int v) {
  int c = static_cast<signed char>(v & 0xFF);
  put(MsgValue::Char, c, static_cast<float>(c));
}
void writeShort(int v) {
  int s = static_cast<short>(v & 0xFFFF);
  put(MsgValue::Short, s, static_cast<float>(s));
}
void writeLong(int v) { put(MsgValue::Long, v, static_cast<float>(v)); }
void writeAngle(float f) { put(MsgValue::Angle, static_cast<int>(f), f); }
void writeCoord(float f) { put(MsgValue::Coord, static_cast<int>(f), f); }
void writeString(const char* s) { put(MsgValue::String, 0, 0, s ? s : ""); }
void writeEntity(int v) { put(MsgValue::Entity, v, static_cast<float>(v)); }

void clientPrintf(edict_t* e, PRINT_TYPE type, const char* msg) {
  sv().recordPrint(std::max(0, entIndex(e)), type, msg ? msg : "");
}
void serverPrint(const char* msg) { sv().recordPrint(0, print_console, msg ? msg : ""); }

void emitSound(edict_t* e, int channel, const char* sample, float volume, float attn, int flags,
               int pitch) {
  Sound s;
  s.entity = std::max(0, entIndex(e));
  s.channel = channel;
  s.sample = sample ? sample : "";
  s.volume = volume;
  s.attenuation = attn;
  s.flags = flags;
  s.pitch = pitch;
  if (sample && sample[0] != '!' && !sv().impl().soundsPre.empty()) {
    bool known = false;
    for (auto& n : im().soundsPre) known = known || n == sample;
    if (!known) sv().driverError(std::string("pfnEmitSound: not precached: ") + sample);
  }
  sv().recordSound(std::move(s));
}

void emitAmbientSound(edict_t* e, float* pos, const char* sample, float volume, float attn,
                      int flags, int pitch) {
  Sound s;
  s.entity = std::max(0, entIndex(e));
  s.sample = sample ? sample : "";
  s.volume = volume;
  s.attenuation = attn;
  s.flags = flags;
  s.pitch = pitch;
  s.ambient = true;
  if (pos) s.pos = vec3_t::from(pos);
  sv().recordSound(std::move(s));
}

}  // namespace

// Commands sent to a client's console are recorded as prints of type -1.
void engineClientCommandText(edict_t* e, const std::string& text) {
  sv().recordPrint(std::max(0, entIndex(e)), kStuffText, text);
}

void engineAlertText(int type, const std::string& text) { sv().recordAlert(type, text); }

void installMessageSlots(enginefuncs_t& t) {
  t.pfnRegUserMsg = regUserMsg;
  t.pfnMessageBegin = messageBegin;
  t.pfnMessageEnd = messageEnd;
  t.pfnWriteByte = writeByte;
  t.pfnWriteChar = writeChar;
  t.pfnWriteShort = writeShort;
  t.pfnWriteLong = writeLong;
  t.pfnWriteAngle = writeAngle;
  t.pfnWriteCoord = writeCoord;
  t.pfnWriteString = writeString;
  t.pfnWriteEntity = writeEntity;
  t.pfnClientPrintf = clientPrintf;
  t.pfnServerPrint = serverPrint;
  t.pfnEmitSound = emitSound;
  t.pfnEmitAmbientSound = emitAmbientSound;
}

}  // namespace host
