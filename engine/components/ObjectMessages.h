#pragma once
// Typed sends to one object's own message table (its MessageComponent,
// 'msgC'). An object without a MessageComponent (or no object at all)
// receives nothing and nothing is reported: many objects never listen.
// Arguments travel as in MessageListenerTable::SendValues: a C string is
// copied, everything else is referred to for the duration of the send.

#include "engine/base/Types.h"
#include "engine/core/MessageListenerTable.h"

#include <string>

namespace Ostrel {

class Composition;

// The object's message table, or null without an object or MessageComponent.
MessageListenerTable* GetObjectMessageTable(Composition* object);

template <class... Args>
void SendObjectMessageValues(Composition* object, const std::string& name, const Args&... args) {
    if (MessageListenerTable* table = GetObjectMessageTable(object)) table->SendValues(name, args...);
}

// One argument of any reflected type, by reference ("KnockbackEnemy" Vec3).
template <class T>
void SendObjectMessageArg(Composition* o, const std::string& n, T& value) {
    SendObjectMessageValues(o, n, value);
}
inline void SendObjectMessageStringInt(Composition* o, const std::string& n, const char* text,
                                       const int& v) {
    SendObjectMessageValues(o, n, text, v);
}
inline void SendObjectMessageStringPtr(Composition* o, const std::string& n, std::string* text) {
    SendObjectMessageValues(o, n, text);
}
inline void SendObjectMessageUInt(Composition* o, const std::string& n, const unsigned& v) {
    SendObjectMessageValues(o, n, v);
}
inline void SendObjectMessageFloat(Composition* o, const std::string& n, const float& v) {
    SendObjectMessageValues(o, n, v);
}
inline void SendObjectMessageFloat2(Composition* o, const std::string& n, const float& a,
                                    const float& b) {
    SendObjectMessageValues(o, n, a, b);
}
inline void SendObjectMessageFloat3(Composition* o, const std::string& n, const float& a,
                                    const float& b, const float& c) {
    SendObjectMessageValues(o, n, a, b, c);
}
inline void SendObjectMessageFloatBool(Composition* o, const std::string& n, const float& v,
                                       const bool& b) {
    SendObjectMessageValues(o, n, v, b);
}
inline void SendObjectMessageBool(Composition* o, const std::string& n, const bool& v) {
    SendObjectMessageValues(o, n, v);
}
template <class Vec>
void SendObjectMessageVec3(Composition* o, const std::string& n, const Vec& v) {
    SendObjectMessageValues(o, n, v);
}

}  // namespace Ostrel
