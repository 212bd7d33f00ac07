#include "SourceApp/libs/cast.h"

#include <gtest/gtest.h>

#include <string>

namespace tdx {
namespace {

struct State {
    virtual ~State() = default;
    unsigned int id = 0;
};

template <class T>
struct SingleParamState : State {
    T param{};
};

TEST(PolymorphicDowncast, GivesTheObjectAsItsOwnClass) {
    SingleParamState<std::string> state;
    state.id = 70;
    state.param = "Heading";
    State& base = state;
    auto& typed = polymorphic_downcast<SingleParamState<std::string>&>(base);
    EXPECT_EQ(&typed, &state);
    EXPECT_EQ(typed.param, "Heading");

    const State* constBase = &state;
    const auto* pointer = polymorphic_downcast<const SingleParamState<std::string>*>(constBase);
    EXPECT_EQ(pointer, &state);
    EXPECT_EQ(pointer->id, 70u);
}

TEST(PolymorphicDowncastDeathTest, AnObjectOfAnotherClassStopsTheProgram) {
    SingleParamState<unsigned int> numbers;
    State& base = numbers;
    EXPECT_DEATH((void)polymorphic_downcast<SingleParamState<std::string>&>(base),
                 "---- ASSERTION FAILED ----.*Polymorphic downcast failed.*SourceApp/libs/cast.h");
    EXPECT_DEATH((void)polymorphic_downcast<SingleParamState<std::string>*>(&base),
                 "---- ASSERTION FAILED ----.*Polymorphic downcast failed");
    State* none = nullptr;
    EXPECT_DEATH((void)polymorphic_downcast<SingleParamState<std::string>*>(none),
                 "---- ASSERTION FAILED ----.*Polymorphic downcast failed");
}

} // namespace
} // namespace tdx
