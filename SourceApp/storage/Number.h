// Numbers that screens read and edit without knowing where they live: a constant, or a value of the table
// bound to one object of the tree.
#pragma once

#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

template <class T>
class Number {
public:
    virtual ~Number() {}
    virtual T getValue() const = 0;
    virtual bool isValid() const = 0;
};

template <class T>
class WriteableNumber : public Number<T> {
public:
    // True when the value was stored.
    virtual bool setValue(T value) = 0;
};

template <class T>
class StaticNumber : public WriteableNumber<T> {
public:
    explicit StaticNumber(T value)
        : mValue(value) {}
    T getValue() const override { return mValue; }
    bool isValid() const override { return true; }
    bool setValue(T value) override {
        mValue = value;
        return true;
    }

private:
    T mValue;
};

// Reads through the object tree: the type's no-value marker while the object is missing or holds no valid
// value; writes only while the object exists.
template <class T>
class ProxyNumber : public WriteableNumber<T> {
public:
    ProxyNumber(vid_t vid, oid_t oid, bt_vtype vtype)
        : mVid(vid)
        , mOid(oid)
        , mVtype(vtype) {}

    T getValue() const override {
        int value = 0;
        if (Structure.find(mOid) == nullptr || pt_get_int(&value, mOid, mVid) != PT_OK) {
            return static_cast<T>(bt_vtype_marker(mVtype));
        }
        return static_cast<T>(value);
    }
    bool isValid() const override {
        int value = 0;
        return Structure.find(mOid) != nullptr && pt_get_int(&value, mOid, mVid) == PT_OK;
    }
    bool setValue(T value) override {
        return Structure.find(mOid) != nullptr &&
               pt_set_int(mOid, mVid, static_cast<int>(value), mVtype) == PT_OK;
    }

    vid_t vid() const { return mVid; }
    oid_t oid() const { return mOid; }

private:
    vid_t mVid;
    oid_t mOid;
    bt_vtype mVtype;
};

} // namespace tdx
