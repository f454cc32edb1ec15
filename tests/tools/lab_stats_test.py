#!/usr/bin/env python3
"""The lab's statistics against values worked out by hand."""
import math, os, sys, unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import lab  # noqa: E402


class LabStats(unittest.TestCase):
    def test_elo_of_scores(self):
        # -400 log10(1/s - 1): 3:1 is 400 log10(3).
        for score, elo in ((0.5, 0.0), (0.75, 190.848501), (0.25, -190.848501),
                           (0.0, -math.inf), (1.0, math.inf)):
            self.assertAlmostEqual(lab.elo_of(score), elo, places=5)

    def test_pairs_interval_and_ratio(self):
        # Pair scores 0, .25, .5, .75, 1.  [10,20,40,20,10]: mean .5, variance
        # .075, half width 1.96 sqrt(.075/100) = .053676 around .5; s1 of 10 Elo
        # .514387, LLR 100 (.014387)(-.014387) / .15.  [0,0,50,50,0]: mean .625,
        # variance .015625, half width .0245; LLR 100 (.014387)(.235613)/.03125.
        rows = (([10, 20, 40, 20, 10], (0.0, -37.442060, 37.442060), -0.137994),
                ([0, 0, 50, 50, 0], (88.739500, 70.798817, 107.156110), 10.847376),
                ([0, 0, 7, 0, 0], (0.0, 0.0, 0.0), 0.0),  # no spread: no evidence
                ([0, 0, 0, 0, 0], (0.0, -math.inf, math.inf), 0.0))
        for counts, interval, ratio in rows:
            with self.subTest(counts=counts):
                for got, want in zip(lab.elo_interval(counts), interval):
                    self.assertAlmostEqual(got, want, places=4)
                self.assertAlmostEqual(lab.llr(counts, 0, 10), ratio, places=5)

    def test_bounds_and_counting(self):
        low, high = lab.sprt_bounds(0.05, 0.05)
        self.assertAlmostEqual(low, math.log(0.05 / 0.95))
        self.assertAlmostEqual(high, 2.944439, places=6)
        self.assertEqual(lab.pentanomial([0, 0.5, 1, 1.5, 2, 1]), [1, 1, 2, 1, 1])

    def test_summary_line(self):
        # Pairs 1, 1 and 2 points: mean 2/3, variance 1/18.
        line = lab.summary([[1, 0], [0.5, 0.5], [1, 1]], 0, 10, lab.sprt_bounds(0.05, 0.05))
        self.assertEqual(line, "games 6 +3 =2 -1 score 0.667 elo +120.4 [-70.5, +458.6] "
                               "pairs 0/0/2/0/1 LLR +0.12 [-2.94, 2.94] for elo [0, 10]")

    def test_opening_suites(self):
        tools = os.path.dirname(os.path.abspath(lab.__file__))
        orthodox = lab.read_openings(os.path.join(tools, "openings.txt"))
        self.assertGreaterEqual(len(orthodox), 1000)
        self.assertEqual(len({" ".join(f.split()[:4]) for f in orthodox}), len(orthodox))
        for fen in orthodox:
            fields = fen.split()
            self.assertEqual(len(fields), 6, fen)
            plies = 2 * (int(fields[5]) - 1) + (fields[1] == "b")
            self.assertTrue(6 <= plies <= 10, fen)
        frc = lab.read_openings(os.path.join(tools, "openings_frc.txt"))
        self.assertEqual(len(set(frc)), 200)
        for fen in frc:
            rank = fen.split("/")[7].split()[0]
            bishops = [i for i, p in enumerate(rank) if p == "B"]
            rooks = [i for i, p in enumerate(rank) if p == "R"]
            self.assertEqual(sorted(rank), sorted("RNBQKBNR"), fen)
            self.assertEqual((bishops[0] + bishops[1]) % 2, 1, fen)  # opposite colours
            self.assertTrue(rooks[0] < rank.index("K") < rooks[1], fen)
            self.assertEqual(fen.split("/")[0], rank.lower(), fen)


if __name__ == "__main__":
    unittest.main()
