// Listeners: call order, duplicates, removal, and listeners that change the
// list while an action is being delivered.

#include "Caller.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

class Source : public Orvu::Caller
{
public:
    void Fire() { CallAction(); }
};

// Appends its name and the caller it saw to a shared trace, then runs an
// optional hook.
class Listener : public Orvu::Callable
{
public:
    Listener(std::string name, std::vector<std::string>& trace) : m_name(name), m_trace(trace) {}

    void Action(Orvu::Caller* caller) override
    {
        m_trace.push_back(m_name);
        lastCaller = caller;
        if (hook)
            hook();
    }

    Orvu::Caller* lastCaller = nullptr;
    std::function<void()> hook;

private:
    std::string m_name;
    std::vector<std::string>& m_trace;
};

typedef std::vector<std::string> Trace;

} // namespace

TEST(Caller, ListenersAreCalledInRegistrationOrderWithTheFiringCaller)
{
    Trace trace;
    Source source;
    Listener l1("L1", trace), l2("L2", trace), l3("L3", trace);
    EXPECT_TRUE(source.AddActionListener(&l1));
    EXPECT_TRUE(source.AddActionListener(&l2));
    EXPECT_TRUE(source.AddActionListener(&l3));

    source.Fire();
    EXPECT_EQ((Trace{"L1", "L2", "L3"}), trace);
    EXPECT_EQ(&source, l2.lastCaller);

    trace.clear();
    EXPECT_TRUE(source.RemoveActionListener(&l2));
    source.Fire();
    EXPECT_EQ((Trace{"L1", "L3"}), trace);
}

TEST(Caller, AddingTwiceIsRefusedAndTheListenerIsCalledOnce)
{
    Trace trace;
    Source source;
    Listener l1("L1", trace);
    EXPECT_TRUE(source.AddActionListener(&l1));
    EXPECT_FALSE(source.AddActionListener(&l1));
    source.Fire();
    EXPECT_EQ((Trace{"L1"}), trace);

    // One removal takes it out completely.
    EXPECT_TRUE(source.RemoveActionListener(&l1));
    trace.clear();
    source.Fire();
    EXPECT_TRUE(trace.empty());
}

TEST(Caller, RemovingAnUnknownListenerFailsAndKeepsTheOthers)
{
    Trace trace;
    Source source;
    Listener l1("L1", trace), stranger("X", trace);
    source.AddActionListener(&l1);
    EXPECT_FALSE(source.RemoveActionListener(&stranger));
    EXPECT_FALSE(source.RemoveActionListener(nullptr));
    source.Fire();
    EXPECT_EQ((Trace{"L1"}), trace);
}

TEST(Caller, OneListenerServesSeveralCallersAndTellsThemApart)
{
    Trace trace;
    Source a, b;
    Listener l1("L1", trace);
    a.AddActionListener(&l1);
    b.AddActionListener(&l1);
    b.Fire();
    EXPECT_EQ(&b, l1.lastCaller);
    a.Fire();
    EXPECT_EQ(&a, l1.lastCaller);
}

TEST(Caller, ListenerRemovingItselfDuringActionDoesNotSkipTheOthers)
{
    Trace trace;
    Source source;
    Listener l1("L1", trace), l2("L2", trace), l3("L3", trace);
    source.AddActionListener(&l1);
    source.AddActionListener(&l2);
    source.AddActionListener(&l3);
    l1.hook = [&] { source.RemoveActionListener(&l1); };

    source.Fire();
    EXPECT_EQ((Trace{"L1", "L2", "L3"}), trace);
    trace.clear();
    source.Fire();
    EXPECT_EQ((Trace{"L2", "L3"}), trace);
}

TEST(Caller, ListenerAddedDuringActionIsCalledFromTheNextActionOn)
{
    Trace trace;
    Source source;
    Listener l1("L1", trace), l2("L2", trace), late("Late", trace);
    source.AddActionListener(&l1);
    source.AddActionListener(&l2);
    // Adding many forces the list to grow and move while it is being walked.
    std::vector<Listener*> extra;
    l1.hook = [&]
    {
        if (source.AddActionListener(&late))
            for (int i = 0; i < 64; ++i)
            {
                extra.push_back(new Listener("E", trace));
                source.AddActionListener(extra.back());
            }
    };

    source.Fire();
    EXPECT_EQ((Trace{"L1", "L2"}), trace);
    trace.clear();
    source.Fire();
    ASSERT_EQ(3u + 64u, trace.size());
    EXPECT_EQ("L1", trace[0]);
    EXPECT_EQ("L2", trace[1]);
    EXPECT_EQ("Late", trace[2]);
    for (Listener* l : extra)
    {
        source.RemoveActionListener(l);
        delete l;
    }
}

TEST(Caller, ListenerRemovedAndDeletedByAnEarlierOneIsNotCalled)
{
    Trace trace;
    Source source;
    Listener l1("L1", trace), l3("L3", trace);
    Listener* doomed = new Listener("Doomed", trace);
    source.AddActionListener(&l1);
    source.AddActionListener(doomed);
    source.AddActionListener(&l3);
    l1.hook = [&]
    {
        source.RemoveActionListener(doomed);
        delete doomed;
        doomed = nullptr;
    };

    source.Fire();
    EXPECT_EQ((Trace{"L1", "L3"}), trace);
}

TEST(Caller, FiringWithoutListenersDoesNothing)
{
    Source source;
    source.Fire();
    Trace trace;
    Listener l1("L1", trace);
    source.AddActionListener(&l1);
    source.RemoveActionListener(&l1);
    source.Fire();
    EXPECT_TRUE(trace.empty());
}
