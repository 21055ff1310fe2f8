#pragma once

#include "foundation/ip_address.h"
#include "foundation/subject.h"
#include "foundation/value.h"

#include <cstdint>
#include <string>

// The codes of a relayed notification: the object class it names and the message of that class.
// Two types, so that a record can be made from either code alone.
enum EProxyObjectClass : uint32_t
{
    kProxyDefaultObjectClass = 168
};
enum EProxyMessage : uint32_t
{
    kProxyDefaultMessage = 393
};

// A notification relayed between objects: an object class and one of its messages, up to seven
// indexes (-1 when unset), two typed values and an address. Its one-line text form is thirteen
// fields, each closed by "|": class, message (low 16 bits), the seven indexes, then each value's
// type name and machine text. The address is not part of the text.
class CProxyMessage
{
public:
    static constexpr int kIndexes = 7;

    CProxyMessage() = default;
    CProxyMessage(EProxyObjectClass objectClass, EProxyMessage message)
        : m_objectClass(objectClass), m_message(message) {}
    explicit CProxyMessage(EProxyObjectClass objectClass) : m_objectClass(objectClass) {}
    explicit CProxyMessage(EProxyMessage message) : m_message(message) {}

    uint32_t GetObjectClass() const { return m_objectClass; }
    void SetObjectClass(uint32_t objectClass) { m_objectClass = objectClass; }
    uint32_t GetMessage() const { return m_message; }
    void SetMessage(uint32_t message) { m_message = message; }

    // Index n = 0..6; -1 for any other n.
    int32_t GetIndex(int n) const { return n >= 0 && n < kIndexes ? m_index[n] : -1; }
    // Any other n changes nothing.
    void SetIndex(int n, int32_t value);
    int32_t GetIndex0() const { return m_index[0]; }
    int32_t GetIndex1() const { return m_index[1]; }
    int32_t GetIndex2() const { return m_index[2]; }
    int32_t GetIndex3() const { return m_index[3]; }
    int32_t GetIndex4() const { return m_index[4]; }
    int32_t GetIndex5() const { return m_index[5]; }
    int32_t GetIndex6() const { return m_index[6]; }
    void SetIndex0(int32_t value) { m_index[0] = value; }
    void SetIndex1(int32_t value) { m_index[1] = value; }
    void SetIndex2(int32_t value) { m_index[2] = value; }
    void SetIndex3(int32_t value) { m_index[3] = value; }
    void SetIndex4(int32_t value) { m_index[4] = value; }
    void SetIndex5(int32_t value) { m_index[5] = value; }
    void SetIndex6(int32_t value) { m_index[6] = value; }
    void ClearIndexes();

    // The first value is also "the" value of the record.
    const CValue& GetValue() const { return m_firstValue; }
    const CValue& GetFirstValue() const { return m_firstValue; }
    const CValue& GetSecondValue() const { return m_secondValue; }
    void SetValue(const CValue& value) { m_firstValue = value; }
    void SetFirstValue(const CValue& value) { m_firstValue = value; }
    void SetSecondValue(const CValue& value) { m_secondValue = value; }
    const CIpAddress& GetAddress() const { return m_address; }
    void SetAddress(const CIpAddress& address) { m_address = address; }

    // Both values back to the default value; codes, indexes and address stay.
    void Clear();

    std::string ToText() const;
    // Starts from the defaults and reads the fields in order until the text ends, the second value
    // is read, or a field does not convert (an empty number included): then false. A value whose
    // text does not convert counts as such a field.
    bool FromText(const std::string& text);

private:
    uint32_t m_objectClass = kProxyDefaultObjectClass;
    uint32_t m_message = kProxyDefaultMessage;
    int32_t m_index[kIndexes] = {-1, -1, -1, -1, -1, -1, -1};
    CValue m_firstValue;
    CValue m_secondValue;
    CIpAddress m_address;
};

// An observable end point for relayed notifications; it adds nothing to the subject.
class CProxy : public CSubject
{
};
