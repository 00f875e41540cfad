#!/usr/bin/env python3
"""Writes misspellings.txt: common words (SCOWL's small list, wamerican-small) with the slips
people make when typing them, one "typed<TAB>meant" a line.

Each word gets one slip of a kind drawn in the proportions typing-error studies report:
letters swapped, a double letter typed single, a single letter doubled, a letter dropped, a
neighbouring key hit instead or as well, and sound-alike spellings (ie/ei, ph/f, c/k/s,
-able/-ible, -ance/-ence, vowels in unstressed syllables, silent e). A slip that makes another
word of the huge SCOWL list is not a misspelling and is drawn again. A short list of
misspellings well known from real writing is added as it stands. The seed is fixed, so the
file is reproducible."""
import random
import sys

ROWS = ["qwertyuiop", "asdfghjkl", "zxcvbnm"]
SHIFT = [0.0, 0.25, 0.75]
POS = {c: (r, i + SHIFT[r]) for r, row in enumerate(ROWS) for i, c in enumerate(row)}
NEAR = {a: [b for b in POS if b != a and abs(POS[a][0] - POS[b][0]) <= 1
            and abs(POS[a][1] - POS[b][1]) < 1.0] for a in POS}
VOWELS = "aeiou"

SOUND = [("ie", "ei"), ("ei", "ie"), ("ph", "f"), ("able", "ible"), ("ible", "able"),
         ("ance", "ence"), ("ence", "ance"), ("ant", "ent"), ("ent", "ant"), ("tion", "sion"),
         ("ck", "k"), ("c", "k"), ("c", "s"), ("s", "c"), ("ss", "s"), ("ou", "o"),
         ("ough", "off"), ("gh", ""), ("wh", "w"), ("kn", "n"), ("y", "ie"), ("ee", "ea"),
         ("ea", "ee"), ("er", "or"), ("or", "er"), ("ar", "er"), ("le", "el"), ("x", "cks"),
         ("sc", "s"), ("ci", "si"), ("ti", "sh"), ("qu", "kw"), ("z", "s"), ("s", "z")]

KNOWN = """acheive achieve|accomodate accommodate|adress address|agressive aggressive|
alot a lot|apparantly apparently|arguement argument|basicly basically|begining beginning|
beleive believe|belive believe|buisness business|calender calendar|catagory category|
cemetary cemetery|changable changeable|collegue colleague|comming coming|commitee committee|
completly completely|concious conscious|curiousity curiosity|definately definitely|
dissapoint disappoint|embarass embarrass|enviroment environment|existance existence|
familar familiar|finaly finally|foriegn foreign|freind friend|fourty forty|goverment government|
grammer grammar|happend happened|harrass harass|heighth height|hierachy hierarchy|
humourous humorous|ignorence ignorance|imediately immediately|independant independent|
interupt interrupt|knowlege knowledge|liason liaison|libary library|lisence license|
maintainance maintenance|millenium millennium|mischievious mischievous|neccessary necessary|
noticable noticeable|occassion occasion|occured occurred|occurence occurrence|
persistant persistent|posession possession|prefered preferred|publically publicly|
realy really|recieve receive|recomend recommend|refered referred|relevent relevant|
religous religious|remeber remember|resistence resistance|rythm rhythm|sieze seize|
seperate separate|sargent sergeant|similer similar|sincerly sincerely|speach speech|
succesful successful|supercede supersede|suprise surprise|tendancy tendency|thier their|
tommorow tomorrow|tounge tongue|truely truly|twelth twelfth|untill until|
wierd weird|wich which|writting writing|teh the|adn and|taht that|wiht with|becuase because|
beacuse because|hte the|jsut just|konw know|knwo know|waht what|whcih which|yuor your|
thsi this|tihs this|woudl would|shoudl should|coudl could|doesnt doesn't|dont don't|
cant can't|wont won't|isnt isn't|thats that's|youre you're|alright all right|aswell as well|
infact in fact|incase in case|everytime every time|eachother each other|thankyou thank you"""


def slips(word, rng):
    kind = rng.choices(["swap", "undouble", "double", "drop", "near", "extra", "sound"],
                       [16, 9, 9, 16, 20, 10, 20])[0]
    n = len(word)
    if kind == "swap":
        i = rng.randrange(n - 1)
        return word[:i] + word[i + 1] + word[i] + word[i + 2:]
    if kind == "undouble":
        doubles = [i for i in range(n - 1) if word[i] == word[i + 1]]
        if not doubles:
            return None
        i = rng.choice(doubles)
        return word[:i] + word[i + 1:]
    if kind == "double":
        i = rng.randrange(1, n)
        return word[:i] + word[i] + word[i:]
    if kind == "drop":
        i = rng.randrange(1, n)
        return word[:i] + word[i + 1:]
    if kind == "near":
        i = rng.randrange(n)
        if word[i] not in NEAR:
            return None
        return word[:i] + rng.choice(NEAR[word[i]]) + word[i + 1:]
    if kind == "extra":
        i = rng.randrange(n)
        if word[i] not in NEAR:
            return None
        return word[:i + 1] + rng.choice(NEAR[word[i]]) + word[i + 1:]
    options = [(a, b) for a, b in SOUND if a in word[1:]]
    vowels = [i for i in range(1, n - 1) if word[i] in VOWELS]
    if word.endswith("e") and n > 4:
        options.append(("e$", ""))
    if not options and not vowels:
        return None
    if vowels and (not options or rng.random() < 0.35):
        i = rng.choice(vowels)
        return word[:i] + rng.choice([v for v in VOWELS if v != word[i]]) + word[i + 1:]
    a, b = rng.choice(options)
    if a == "e$":
        return word[:-1]
    at = word.find(a, 1)
    return word[:at] + b + word[at + len(a):]


def main():
    small = [w.strip() for w in open("/usr/share/dict/american-english-small", encoding="utf-8")]
    huge = {w.strip().lower() for w in open("/usr/share/dict/american-english-huge",
                                            encoding="utf-8")}
    words = sorted({w for w in small if w.isascii() and w.isalpha() and w.islower()
                    and 4 <= len(w) <= 12})
    rng = random.Random(20261208)
    out, seen = [], set()
    for pair in KNOWN.replace("\n", "").split("|"):
        typed, meant = pair.strip().split(" ", 1)
        if typed.lower() not in huge:
            out.append((typed, meant))
            seen.add(typed)
    while len(out) < 2400:
        meant = rng.choice(words)
        typed = slips(meant, rng)
        if not typed or typed in seen or typed.lower() in huge:
            continue
        seen.add(typed)
        out.append((typed, meant))
    with open(sys.argv[1], "w", encoding="utf-8") as f:
        for typed, meant in out:
            f.write(f"{typed}\t{meant}\n")


main()
